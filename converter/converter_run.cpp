// Runs of the listed jobs: starting, chaining from the end of each job, stopping, pausing.
#include <utility>

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
        ended_jobs_.clear();
        parallel_ = threads > 0;
        jobs_left_ = jobs_.Count();
        run_active_ = jobs_left_ > 0;
        paused_ = false;
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
    if (!threaded) return run_in_caller(job);
    TFFmpegThread* thread = job.start(true, static_cast<TThreadPriority>(thread_priority_));
    // Recorded before the thread runs, so that its log lines map to the job.
    job.ThreadID = thread ? thread->ThreadID() : 0;
    if (!thread) return;
    // A job that starts while the run is paused waits like the others.
    if (paused_) job.pause();
    thread->Resume();
}

void TConverter::run_in_caller(TFFmpeg& job) {
    job.ThreadID = CurrentThreadId();
    job_in_caller_ = &job;
    job.start(false);
    // A job that had ended does not start and never reaches DoTerminate.
    job.ThreadID = 0;
    job_in_caller_ = nullptr;
    // Removed by the owner's handlers while it ran: it has returned now.
    removed_in_caller_.clear();
}

void TConverter::DoTerminate(TFFmpeg& sender) {
    const TEventGuard guard(event_lock_);
    // Its thread may log for another job (or none) from now on.
    sender.ThreadID = 0;
    if (sender.JobIndex >= 0) {
        if (const TTerminateEvent on_terminate = handler(&THandlers::OnTerminate)) {
            const bool exception = sender.exception_raised;
            on_terminate(sender.JobIndex, sender.finished, exception, exception ? sender.exception_message : "");
        }
    }
    // A job removed while it ran, even by the handler just now, reports nothing and no longer
    // counts, but the run goes on without it.
    if (sender.JobIndex >= 0) ended_jobs_.insert(&sender);
    if (jobs_left_ > 0) {
        if (parallel_) start_next_job();
    } else {
        notify_all_done_when_over();
    }
}

void TConverter::notify_all_done_when_over() {
    if (!run_active_ || jobs_left_ > 0 || static_cast<int>(ended_jobs_.size()) < jobs_.Count()) return;
    notify_all_done();
}

void TConverter::notify_all_done() {
    run_active_ = false;
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
    const TEventGuard guard(event_lock_);
    paused_ = true;
    for (int index = 0; index < jobs_.Count(); ++index) jobs_.Item(index).pause();
}

void TConverter::ResumeJobs() {
    const TEventGuard guard(event_lock_);
    paused_ = false;
    for (int index = 0; index < jobs_.Count(); ++index) jobs_.Item(index).resume();
}

}  // namespace brenvale
