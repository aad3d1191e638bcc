#include "engine/ffmpeg_thread.h"

#include "engine/custom_ffmpeg.h"

namespace brenvale {

TFFmpegThread* TFFmpegThread::Create(TCustomFFmpeg& engine, TThreadPriority priority) {
    return new TFFmpegThread(engine, priority);
}

TFFmpegThread::TFFmpegThread(TCustomFFmpeg& engine, TThreadPriority priority)
    : WorkerThread(priority), engine_(engine) {
    engine_.thread_entered();
}

void TFFmpegThread::Execute() {
    engine_.run();
    engine_.thread_left();
}

TDoTerminateThread* TDoTerminateThread::Create(TCustomFFmpeg& engine) { return new TDoTerminateThread(engine); }

TDoTerminateThread::TDoTerminateThread(TCustomFFmpeg& engine)
    : WorkerThread(TThreadPriority::tpIdle), engine_(engine) {
    engine_.thread_entered();
}

void TDoTerminateThread::Execute() {
    engine_.notify_terminated();
    engine_.thread_left();
}

}  // namespace brenvale
