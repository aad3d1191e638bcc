// The frame-hook step of every decoded picture: whether the plug-ins run (the before-hook event
// or the time ranges), the work copy with deinterlacing, then the custom hook or the plug-ins.
#include "engine/frame_hooks.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "binding/media_api.h"
#include "common/main_thread.h"
#include "engine/custom_ffmpeg.h"
#include "engine/picture_ops.h"
#include "engine/preview_lock.h"

namespace brenvale {
namespace {

void ask_before_hook(TCustomFFmpeg& engine, std::int64_t pts) {
    THookAction& action = engine.hook_state.hook_action;
    if (!call_handler(engine, "Error occurs OnBeforeHook: ", [&] { engine.on_before_hook(engine, pts, action); }))
        action = THookAction::haStop;
    if (action == THookAction::haStop) engine.using_vhook = false;
}

// The ranges are sorted by end; past the end of the last one, hooking stops for good.
void match_time_ranges(TCustomFFmpeg& engine, std::int64_t pts) {
    THookAction& action = engine.hook_state.hook_action;
    const auto& ranges = engine.hook_time_ranges;
    action = THookAction::haIgnore;
    for (std::size_t i = static_cast<std::size_t>(std::max(engine.hook_range_index, 0)); i < ranges.size(); ++i) {
        if (ranges[i].start_us <= pts && pts <= ranges[i].end_us) {
            engine.hook_range_index = static_cast<std::int32_t>(i);
            action = THookAction::haContinue;
            return;
        }
        if (i + 1 == ranges.size() && ranges[i].end_us < pts) {
            action = THookAction::haStop;
            engine.using_vhook = false;
        }
    }
}

void decide_plugins(TCustomFFmpeg& engine, std::int64_t pts) {
    if (engine.on_before_hook) {
        ask_before_hook(engine, pts);
    } else if (!engine.hook_time_ranges.empty()) {
        match_time_ranges(engine, pts);
    }
}

// The work copy owns its buffer, so the frame can travel on like any decoded frame.
AVFrame* new_work_copy(THookState& state, const AVFrame& picture) {
    AVFrame* work = ff::av_frame_alloc();
    if (!work) return nullptr;
    if (!state.work_pictures.fill(*work, picture.format, picture.width, picture.height) ||
        ff::av_frame_copy_props(work, &picture) < 0) {
        ff::av_frame_free(&work);
    }
    return work;
}

// The decoded picture may be one the decoder still refers to: hooks and deinterlacing write
// into a copy, which then replaces it. False (picture unchanged) when no copy can be made.
bool make_work_copy(TCustomFFmpeg& engine, AVFrame& picture) {
    AVFrame* work = new_work_copy(engine.hook_state, picture);
    if (!work) {
        log_warning(engine, "hook buf malloc error.");
        return false;
    }
    const bool deinterlaced = engine.deinterlace && deinterlace_picture(*work, picture);
    if (engine.deinterlace && !deinterlaced) log_warning(engine, "Deinterlacing failed.");
    if (!deinterlaced) {
        ff::av_image_copy(work->data, work->linesize, const_cast<const std::uint8_t**>(picture.data), picture.linesize,
                          static_cast<AVPixelFormat>(picture.format), picture.width, picture.height);
    }
    ff::av_frame_unref(&picture);
    ff::av_frame_move_ref(&picture, work);
    ff::av_frame_free(&work);
    return true;
}

void run_plugins(TCustomFFmpeg& engine, AVFrame& picture, std::int64_t pts) {
    BrenvaleHookPicture planes{};
    for (int i = 0; i < 4; ++i) {
        planes.data[i] = picture.data[i];
        planes.linesize[i] = picture.linesize[i];
    }
    engine.video_hooks.run_video_hooks(&planes, picture.format, pts, picture.width, picture.height);
}

}  // namespace

void log_warning(TCustomFFmpeg& engine, const std::string& message) {
    if (engine.on_log) engine.on_log(engine, 0, message);
}

TPictureRef picture_ref(const AVFrame& picture) {
    return {picture.data, picture.linesize, picture.format, picture.width, picture.height};
}

void TCustomFFmpeg::preprocess_video(AVFrame& picture, std::int64_t pts) {
    hook_state.hook_frame_count += 1;
    if (!on_custom_hook && using_vhook) decide_plugins(*this, pts);
    const bool plugins = using_vhook && hook_state.hook_action == THookAction::haContinue;
    if (!deinterlace && !on_custom_hook && !plugins) return;
    if (!make_work_copy(*this, picture)) return;
    if (on_custom_hook) {
        run_custom_hook(picture, pts);
    } else if (plugins) {
        run_plugins(*this, picture, pts);
    }
}

void TCustomFFmpeg::release_frame_hooks() {
    hook_state.work_pictures.release();
    hook_state.hook_converter.reset();
    hook_state.hook_frame_count = 0;
    hook_state.hook_action = THookAction::haContinue;
    preview_state.preview_converter.reset();
    preview_state.last_preview_time = 0;
    std::shared_ptr<TPreviewWindow> window;
    {
        const std::unique_lock<std::mutex> lock = LockServingMainThread(PreviewLock());
        window = std::move(preview_state.preview_window);
    }
    // The window closes here, without the lock: closing waits for the main thread.
}

}  // namespace brenvale
