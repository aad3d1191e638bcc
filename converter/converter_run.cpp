// Runs of the listed jobs: starting, chaining from the end of each job, stopping, pausing.
#include "common/thread_priority.h"
#include "converter/converter.h"
#include "converter/library_log.h"
#include "engine/ffmpeg_thread.h"

namespace brenvale {

void TConverter::StartJobs(int threads) {
    {
        const TEventGuard guard(event_lock_);
        ClearLogList();
        next_job_ = 0;
        ended_count_ = 0;
        parallel_ = threads > 0;
        jobs_left_ = jobs_.Count();
        if (parallel_) {
            // The other jobs start from DoTerminate as these end.
            for (; jobs_left_ > 0 && threads > 0; --threads) start_next_job();
            return;
        }
    }
    // Without the locks: the jobs' deliveries take them on this thread as they need them.
    for (;;) {
        TFFmpeg* job = nullptr;
        {
            const TEventGuard guard(event_lock_);
            job = take_next_job();
        }
        if (!job) return;
        start_job(*job, false);
    }
}

TFFmpeg* TConverter::take_next_job() {
    if (jobs_left_ <= 0) return nullptr;
    --jobs_left_;
    const int index = next_job_++;
    if (index < jobs_.Count()) return &jobs_.Item(index);
    jobs_left_ = 0;
    return nullptr;
}

void TConverter::start_next_job() {
    if (TFFmpeg* job = take_next_job()) start_job(*job, true);
}

void TConverter::start_job(TFFmpeg& job, bool threaded) {
    job.progress_interval = std::int64_t{progress_interval_ms_} * 1000;
    job.set_verbose(log_threshold());
    // The run owns the input from now on and frees it at its end.
    job.Probe.Close();
    if (!threaded) {
        job.ThreadID = CurrentThreadId();
        job.start(false);
        // A job that had ended does not start and never reaches DoTerminate.
        job.ThreadID = 0;
        return;
    }
    TFFmpegThread* thread = job.start(true, static_cast<TThreadPriority>(thread_priority_));
    // Recorded before the thread runs, so that its log lines map to the job.
    job.ThreadID = thread ? thread->ThreadID() : 0;
    if (thread) thread->Resume();
}

void TConverter::DoTerminate(TFFmpeg& sender) {
    const TEventGuard guard(event_lock_);
    if (sender.JobIndex < 0) return;
    // Its thread may log for another job (or none) from now on.
    sender.ThreadID = 0;
    if (const TTerminateEvent on_terminate = handler(&THandlers::OnTerminate)) {
        const bool exception = sender.exception_raised;
        on_terminate(sender.JobIndex, sender.finished, exception, exception ? sender.exception_message : "");
    }
    ++ended_count_;
    if (jobs_left_ > 0) {
        if (parallel_) start_next_job();
    } else if (ended_count_ >= jobs_.Count()) {
        notify_all_done();
    }
}

void TConverter::notify_all_done() {
    if (const TTerminateEvent on_terminate = handler(&THandlers::OnTerminate)) on_terminate(-1, true, false, "");
    ClearLogList();
}

void TConverter::StopJobs() {
    {
        const TEventGuard guard(event_lock_);
        jobs_left_ = 0;
    }
    for (int index = 0; index < jobs_.Count(); ++index) jobs_.Item(index).cancel();
}

void TConverter::PauseJobs() {
    for (int index = 0; index < jobs_.Count(); ++index) jobs_.Item(index).pause();
}

void TConverter::ResumeJobs() {
    for (int index = 0; index < jobs_.Count(); ++index) jobs_.Item(index).resume();
}

}  // namespace brenvale
