// The converter component: a list of conversion jobs, run on worker threads or one after
// another in the caller, whose reports become six events for the owner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "converter/ffmpeg_job.h"
#include "converter/option_records.h"
#include "engine/engine_types.h"
#include "probe/av_probe.h"

namespace brenvale {

class TBitmap;

enum class TLogLevel { llQuiet, llError, llInfo, llDebug, llAll };
enum class TConvertPriority { tpIdle, tpLowest, tpLower, tpNormal };

class TConverter {
public:
    // Threads:
    // - Every public operation comes from the owner's thread (normally the main thread); only
    //   that thread changes the job list, so it reads the list without locks.
    // - Guarded by the event lock (taken through TEventGuard, see library_log.h): changes of
    //   the job list and the run state below; the deliveries of OnLog, OnProgress and
    //   OnTerminate, which never overlap.
    // - OnBeforeHook and OnCustomHook run on the job's thread without a lock; OnPreviewBitmap
    //   runs on the main thread while the job's thread waits.
    // - The handlers are set and read under handlers_lock_; deliveries call a copy.
    // - Jobs removed from the list (DeleteJob, ClearJobs, destruction) report nothing more,
    //   except log lines, which then carry AIndex -1; the run goes on with the jobs that are
    //   left, and every run that started a job ends with one all-done notification. In a run
    //   in the caller (StartJobs(0)) its handlers may remove jobs, the running one included: it
    //   is stopped and freed once it has returned. A worker's handlers must not: the removal
    //   waits for the job's thread.
    using TProgressEvent = std::function<void(
        std::int32_t AIndex, std::int32_t AFrameNumber, std::int32_t AFPS, std::int32_t ACurrentDuration,
        float AQuality, float ABitRate, std::int64_t ACurrentSize, std::int32_t ATotalOutputDuration)>;
    using TPreviewBitmapEvent =
        std::function<void(std::int32_t AIndex, TBitmap& ABitmap, std::int32_t AFrameNumber, std::int64_t APTS)>;
    using TLogEvent = std::function<void(std::int32_t AIndex, TLogLevel ALogLevel, const std::string& AMsg)>;
    using TTerminateEvent =
        std::function<void(std::int32_t AIndex, bool AFinished, bool AException, const std::string& AMessage)>;
    using TBeforeHookEvent = std::function<void(std::int32_t AIndex, std::int64_t APTS, THookAction& AHookAction)>;
    using TCustomHookEvent = std::function<void(std::int32_t AIndex, TBitmap& ABitmap, std::int32_t AFrameNumber,
                                                std::int64_t APTS, bool& AUpdate, bool& AStopHook)>;

    TConverter();
    // Stops every job and waits for them; their last reports are not delivered.
    ~TConverter();
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    // Loads the converter's libraries from `library_path` (then the system's search) and
    // installs the log callback. False with LastError() set.
    bool LoadLibraries(const std::string& library_path);
    // A new job whose input is the opened file: its index, or -1 with LastError() set.
    // A record with an empty FileName takes `file_name`; `file_name` is what is opened.
    int AddInput(const std::string& file_name, const TInputOptions* options = nullptr);
    // Adds an output to a job that has not been started. False with LastError() set.
    bool AddOutput(int index, const std::string& file_name, const TOutputOptions* options = nullptr);
    // Frees a job (stopping it and waiting for it); the later jobs move down one place.
    void DeleteJob(int index);
    void ClearJobs();
    // threads > 0: at most that many jobs at once on worker threads, the others started as jobs
    // end; returns at once. threads <= 0: every job in the calling thread, one after another.
    void StartJobs(int threads);
    // Starts no further job; running jobs end early, unstarted ones are reported as ended.
    void StopJobs();
    void PauseJobs();
    void ResumeJobs();

    const std::string& LastError() const { return last_error_; }
    TAVProbe& Probe() { return probe_; }
    const TFFmpegList& Jobs() const { return jobs_; }
    static std::string Version() { return "2.3c"; }

    TLogLevel LogLevel() const { return log_level_; }
    void SetLogLevel(TLogLevel level);
    // Milliseconds between progress reports; values of 100 or less become 100.
    int ProgressInterval() const { return progress_interval_ms_; }
    void SetProgressInterval(int milliseconds);
    TConvertPriority ThreadPriority() const { return thread_priority_; }
    void SetThreadPriority(TConvertPriority priority) { thread_priority_ = priority; }
    bool Preview() const { return preview_; }
    void SetPreview(bool preview);
    bool PreviewBitmap() const { return preview_bitmap_; }
    void SetPreviewBitmap(bool preview_bitmap);

    void SetOnProgress(TProgressEvent handler);
    void SetOnPreviewBitmap(TPreviewBitmapEvent handler);
    void SetOnLog(TLogEvent handler);
    void SetOnTerminate(TTerminateEvent handler);
    void SetOnBeforeHook(TBeforeHookEvent handler);
    void SetOnCustomHook(TCustomHookEvent handler);

    // A complete library log line written by the calling thread with the library context
    // `context` (the log callback, which holds the live-component lock). A line of a job's
    // thread, or of a codec's own thread working for a job, names that job.
    void DeliverLibraryLine(int level, const std::string& line, const void* context);

private:
    struct THandlers {
        TProgressEvent OnProgress;
        TPreviewBitmapEvent OnPreviewBitmap;
        TLogEvent OnLog;
        TTerminateEvent OnTerminate;
        TBeforeHookEvent OnBeforeHook;
        TCustomHookEvent OnCustomHook;
    };
    template <class Event>
    Event handler(Event THandlers::*slot) const {
        const std::lock_guard<std::mutex> lock(handlers_lock_);
        return handlers_.*slot;
    }
    template <class Event>
    void set_handler(Event THandlers::*slot, Event event) {
        const std::lock_guard<std::mutex> lock(handlers_lock_);
        handlers_.*slot = std::move(event);
    }

    // The component's threshold on the log scale (-1 quiet ... 3 all).
    int log_threshold() const { return static_cast<int>(log_level_) - 1; }
    void apply_library_log_level() const;
    TPreviewFlags preview_flags() const;
    void apply_preview_flags();

    // Jobs (converter_jobs.cpp).
    void bind_job_events(TFFmpeg& job);
    void bind_hook_events(TFFmpeg& job, const TOutputOptions& options);
    // Owner's thread, outside the locks. The job running in the caller is only stopped: it is
    // freed once it has returned.
    void free_jobs(std::vector<std::unique_ptr<TFFmpeg>> jobs);

    // Runs (converter_run.cpp); the run state is guarded by the event lock.
    TFFmpeg* take_next_job();
    void start_next_job();
    void start_job(TFFmpeg& job, bool threaded);
    void run_in_caller(TFFmpeg& job);
    // After a job ended or left the list: the all-done notification when it was the last.
    void notify_all_done_when_over();
    void notify_all_done();

    // Deliveries (converter_events.cpp), on the thread that reports.
    void DoBeforeHook(TFFmpeg& sender, std::int64_t pts, THookAction& action);
    void DoCustomHook(TFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts,
                      bool& update, bool& stop_hook);
    void DoLog(const TFFmpeg* sender, int level, const std::string& message);
    void DoPreviewBitmap(TFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts);
    void DoProgress(TFFmpeg& sender, std::int32_t frame_number, std::int32_t fps, std::int32_t current_duration,
                    float quality, float bit_rate, std::int64_t current_size, std::int32_t total_output_duration);
    void DoTerminate(TFFmpeg& sender);

    // Owner's thread only.
    std::string last_error_;
    TLogLevel log_level_ = TLogLevel::llInfo;
    int progress_interval_ms_ = 500;
    TConvertPriority thread_priority_ = TConvertPriority::tpNormal;
    bool preview_ = false;
    bool preview_bitmap_ = false;
    TAVProbe probe_;

    mutable std::mutex handlers_lock_;
    THandlers handlers_;  // guarded by handlers_lock_

    // Owner's thread only: the job StartJobs(0) runs now, and jobs removed meanwhile.
    TFFmpeg* job_in_caller_ = nullptr;
    std::vector<std::unique_ptr<TFFmpeg>> removed_in_caller_;

    // Declared before the jobs: deliveries of ending jobs use it until the last job is freed.
    std::recursive_mutex event_lock_;
    // Guarded by the event lock (reads on the owner's thread excepted, see above).
    TFFmpegList jobs_;
    int next_job_ = -1;
    bool parallel_ = false;
    bool run_active_ = false;  // a run started a job and its all-done is still due
    bool paused_ = false;      // PauseJobs holds every job of the run, those yet to start too
    std::set<const TFFmpeg*> ended_jobs_;  // listed jobs whose end this run reported
    int jobs_left_ = 0;
};

}  // namespace brenvale
