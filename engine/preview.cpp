// The preview of encoded pictures, as a bitmap handed to on_preview or in the preview window,
// and the preview flags that choose between them.
//
// The preview lock guards preview_flags changes and the window reference only, and is never
// held while waiting for the main thread: the main thread may change the flags (even from
// within a preview handler) while a worker waits for it in a delivery.
#include <mutex>
#include <utility>

#include "binding/media_api.h"
#include "common/main_thread.h"
#include "engine/custom_ffmpeg.h"
#include "engine/frame_hooks.h"
#include "engine/preview_lock.h"

namespace brenvale {
namespace {

std::int64_t preview_pts(const AVFrame& picture, const AVCodecContext& enc) {
    if (picture.pts == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
    return ff::av_rescale_q(picture.pts, enc.time_base, AV_TIME_BASE_Q);
}

// Previews are rate-limited on the library clock; the conversion happens only when one is due.
bool preview_due(TPreviewState& state, std::int64_t interval_us) {
    const std::int64_t now = ff::av_gettime();
    if (now - state.last_preview_time <= interval_us) return false;
    state.last_preview_time = now;
    return true;
}

// Under the preview lock. Returns the window to free once the lock is released, when bit 0 went off.
std::shared_ptr<TPreviewWindow> store_preview_flags(TCustomFFmpeg& engine, TPreviewFlags flags) {
    const TPreviewFlags old = engine.preview_flags.exchange(flags);
    if ((old & kPreviewWindow) && !(flags & kPreviewWindow)) return std::move(engine.preview_state.preview_window);
    return nullptr;
}

// Bits changed meanwhile by the owner are kept; only the failed kinds go.
void remove_preview_flags(TCustomFFmpeg& engine, TPreviewFlags removed) {
    std::shared_ptr<TPreviewWindow> closed;
    const std::unique_lock<std::mutex> lock = LockServingMainThread(PreviewLock());
    closed = store_preview_flags(engine, engine.preview_flags.load() & ~removed);
    // `closed` is declared first, so the window is freed after the lock is released.
}

// The window to show in, opened on first use; none when bit 0 went off meanwhile or no window
// can be made (headless).
std::shared_ptr<TPreviewWindow> window_to_show(TCustomFFmpeg& engine) {
    const std::unique_lock<std::mutex> lock = LockServingMainThread(PreviewLock());
    std::shared_ptr<TPreviewWindow>& window = engine.preview_state.preview_window;
    if (!window && (engine.preview_flags.load() & kPreviewWindow)) window = CreatePreviewWindow();
    return window;
}

// Each returns the preview kind to drop: its conversion failed or its window was closed.
TPreviewFlags preview_bitmap(TCustomFFmpeg& engine, const AVFrame& picture, std::int64_t pts) {
    TPictureConverter& converter = engine.preview_state.preview_converter;
    if (!converter.to_bitmap(picture_ref(picture))) {
        log_warning(engine, kToRgbFailure);
        return kPreviewBitmap;
    }
    engine.on_preview(engine, converter.bitmap(), engine.hook_state.hook_frame_count, pts);
    return 0;
}

TPreviewFlags preview_in_window(TCustomFFmpeg& engine, const AVFrame& picture, std::int64_t pts) {
    TPictureConverter& converter = engine.preview_state.preview_converter;
    if (!converter.to_bitmap(picture_ref(picture))) {
        log_warning(engine, kToRgbFailure);
        return kPreviewWindow;
    }
    const std::shared_ptr<TPreviewWindow> window = window_to_show(engine);
    const bool shown = window && window->ShowFrame(converter.bitmap(), engine.hook_state.hook_frame_count, pts);
    return shown ? 0 : kPreviewWindow;
}

}  // namespace

void TCustomFFmpeg::set_preview_flags(TPreviewFlags flags) {
    std::shared_ptr<TPreviewWindow> closed;
    const std::unique_lock<std::mutex> lock = LockServingMainThread(PreviewLock());
    closed = store_preview_flags(*this, flags);
}

// Only one kind is served per picture; the bitmap callback comes first.
void TCustomFFmpeg::deliver_preview(const AVFrame& picture, const AVCodecContext& enc) {
    const TPreviewFlags flags = preview_flags.load();
    const std::int64_t pts = preview_pts(picture, enc);
    TPreviewFlags failed = 0;
    if ((flags & kPreviewBitmap) && on_preview) {
        if (preview_due(preview_state, preview_interval)) failed = preview_bitmap(*this, picture, pts);
    } else if (flags & kPreviewWindow) {
        if (preview_due(preview_state, preview_interval)) failed = preview_in_window(*this, picture, pts);
    }
    if (failed) remove_preview_flags(*this, failed);
}

}  // namespace brenvale
