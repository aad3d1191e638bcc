// The custom hook: the owner sees every decoded picture as a 24-bit bitmap, may draw on it and
// hand it back into the picture.
#include <mutex>

#include "engine/custom_ffmpeg.h"
#include "engine/frame_hooks.h"

namespace brenvale {
namespace {

// The handler's verdict: whether its bitmap goes back into the picture, and whether hooking stops.
struct THookVerdict {
    bool update = true;
    bool stop = false;
};

THookVerdict ask_custom_hook(TCustomFFmpeg& engine, TBitmap& bitmap, std::int64_t pts) {
    THookVerdict verdict;
    const std::lock_guard<std::mutex> canvas(bitmap.CanvasLock());
    if (!call_handler(engine, "Error occurs OnCustomHook: ", [&] {
            engine.on_custom_hook(engine, bitmap, engine.hook_state.hook_frame_count, pts, verdict.update,
                                  verdict.stop);
        }))
        verdict.update = false;
    return verdict;
}

}  // namespace

void TCustomFFmpeg::run_custom_hook(AVFrame& picture, std::int64_t pts) {
    TPictureConverter& converter = hook_state.hook_converter;
    const TPictureRef planes = picture_ref(picture);
    bool stop = true;
    if (!converter.to_bitmap(planes)) {
        log_warning(*this, kToRgbFailure);
    } else {
        const THookVerdict verdict = ask_custom_hook(*this, converter.bitmap(), pts);
        stop = verdict.stop;
        if (verdict.update && !converter.from_bitmap(planes)) {
            log_warning(*this, "Cannot initialize the fromRGB conversion context");
            stop = true;
        }
    }
    if (!stop) return;
    on_custom_hook = nullptr;
    hook_state.hook_action = THookAction::haStop;
    using_vhook = false;
}

}  // namespace brenvale
