// The threads of a job. Both are created suspended (their id is known before they run) and
// delete themselves when their body returns: after Resume, do not touch them.
#pragma once

#include "common/worker_thread.h"

namespace brenvale {

class TCustomFFmpeg;

// Runs the engine's `run`.
class TFFmpegThread : public WorkerThread {
public:
    static TFFmpegThread* Create(TCustomFFmpeg& engine, TThreadPriority priority);

private:
    TFFmpegThread(TCustomFFmpeg& engine, TThreadPriority priority);
    void Execute() override;

    TCustomFFmpeg& engine_;
};

// Reports a job that was cancelled before it started: runs the engine's notify_terminated,
// at idle priority.
class TDoTerminateThread : public WorkerThread {
public:
    static TDoTerminateThread* Create(TCustomFFmpeg& engine);

private:
    explicit TDoTerminateThread(TCustomFFmpeg& engine);
    void Execute() override;

    TCustomFFmpeg& engine_;
};

}  // namespace brenvale
