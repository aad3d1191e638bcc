// Deliveries of the jobs' reports to the owner's handlers, on their threads.
#include "common/main_thread.h"
#include "common/thread_priority.h"
#include "converter/converter.h"
#include "converter/library_log.h"
#include "engine/codec_owner.h"

namespace brenvale {
namespace {

TLogLevel log_level_of(int level) {
    if (level < 0) return TLogLevel::llQuiet;
    if (level >= 3) return TLogLevel::llAll;
    return static_cast<TLogLevel>(level + 1);
}

}  // namespace

void TConverter::DeliverLibraryLine(int level, const std::string& line, const void* context) {
    const TFFmpeg* job = jobs_.FindByThread(CurrentThreadId());
    if (!job) job = jobs_.FindByEngine(codec_owner(context));
    DoLog(job, level, line);
}

void TConverter::DoLog(const TFFmpeg* sender, int level, const std::string& message) {
    const TLogEvent on_log = handler(&THandlers::OnLog);
    if (!on_log) return;
    const TEventGuard guard(event_lock_);
    on_log(sender ? sender->JobIndex.load() : -1, log_level_of(level), message);
}

void TConverter::DoProgress(TFFmpeg& sender, std::int32_t frame_number, std::int32_t fps,
                            std::int32_t current_duration, float quality, float bit_rate,
                            std::int64_t current_size, std::int32_t total_output_duration) {
    const TProgressEvent on_progress = handler(&THandlers::OnProgress);
    if (!on_progress) return;
    const TEventGuard guard(event_lock_);
    if (sender.JobIndex < 0) return;
    on_progress(sender.JobIndex, frame_number, fps, current_duration, quality, bit_rate, current_size,
                total_output_duration);
}

void TConverter::DoPreviewBitmap(TFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts) {
    const TPreviewBitmapEvent on_preview_bitmap = handler(&THandlers::OnPreviewBitmap);
    const int index = sender.JobIndex;
    if (!on_preview_bitmap || index < 0) return;
    // Each worker waits for its own call, so the values stay its own until the handler ran.
    RunOnMainThread([&] { on_preview_bitmap(index, bitmap, frame_number, pts); });
}

void TConverter::DoBeforeHook(TFFmpeg& sender, std::int64_t pts, THookAction& action) {
    const TBeforeHookEvent on_before_hook = handler(&THandlers::OnBeforeHook);
    const int index = sender.JobIndex;
    if (on_before_hook && index >= 0) on_before_hook(index, pts, action);
}

void TConverter::DoCustomHook(TFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts,
                              bool& update, bool& stop_hook) {
    const TCustomHookEvent on_custom_hook = handler(&THandlers::OnCustomHook);
    const int index = sender.JobIndex;
    if (on_custom_hook && index >= 0) on_custom_hook(index, bitmap, frame_number, pts, update, stop_hook);
}

}  // namespace brenvale
