// What the owner's thread may do to a running job: stop, cancel, pause and resume.
#include <system_error>

#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_thread.h"

namespace brenvale {

void TCustomFFmpeg::request_stop() {
    stop_requested = true;
    pause_gate_.Stop();
}

void TCustomFFmpeg::cancel() {
    if (running) {
        request_stop();
        return;
    }
    if (terminated || terminate_pending_.exchange(true)) return;
    try {
        TDoTerminateThread::Create(*this)->Resume();
    } catch (const std::system_error&) {
        // Without a thread the end is still reported, on the caller's thread.
        notify_terminated();
    }
}

void TCustomFFmpeg::pause() {
    if (worker_thread.load()) pause_gate_.Pause();
}

void TCustomFFmpeg::resume() {
    if (worker_thread.load()) pause_gate_.Resume();
}

void TCustomFFmpeg::wait_while_paused() { pause_gate_.Wait(); }

void TCustomFFmpeg::thread_entered() { threads_inside_.fetch_add(1, std::memory_order_relaxed); }

void TCustomFFmpeg::thread_left() { threads_inside_.fetch_sub(1, std::memory_order_release); }

}  // namespace brenvale
