// Jobs of the component: adding inputs and outputs, deleting and clearing.
#include <exception>
#include <stdexcept>
#include <utility>

#include "binding/library_loader.h"
#include "converter/converter.h"
#include "converter/hook_ranges.h"
#include "converter/input_record.h"
#include "converter/library_log.h"
#include "converter/output_record.h"

namespace brenvale {
namespace {

TFFmpeg& job_of(TCustomFFmpeg& sender) { return static_cast<TFFmpeg&>(sender); }

template <class Record>
Record record_named(const Record& record, const std::string& file_name) {
    Record copy = record;
    if (copy.FileName.empty()) copy.FileName = file_name;
    return copy;
}

}  // namespace

int TConverter::AddInput(const std::string& file_name, const TInputOptions* options) {
    auto job = std::make_unique<TFFmpeg>();
    job->on_log = [this](TCustomFFmpeg& sender, int level, const std::string& message) {
        DoLog(&job_of(sender), level, message);
    };
    try {
        // Without them every library call of the job would go to an empty slot.
        if (!Loader().AreLibrariesLoaded(kConverterLibraries)) throw std::runtime_error("Libraries not loaded.");
        job->prepare_job();
        job->set_verbose(log_threshold());
        job->set_preview_flags(preview_flags());
        job->on_preview = [this](TCustomFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number,
                                 std::int64_t pts) { DoPreviewBitmap(job_of(sender), bitmap, frame_number, pts); };
        if (options) {
            job->InputOptions = record_named(*options, file_name);
            apply_input_options(*job, job->InputOptions);
        }
        if (!job->open_input_file(file_name)) {
            last_error_ = job->last_error;
            return -1;
        }
        job->Probe.Attach(job->input_files[static_cast<std::size_t>(job->input_file_count - 1)]);
        bind_job_events(*job);
    } catch (const std::exception& error) {
        last_error_ = error.what();
        return -1;
    }
    const TEventGuard guard(event_lock_);
    return jobs_.Add(std::move(job));
}

void TConverter::bind_job_events(TFFmpeg& job) {
    job.on_progress = [this](TCustomFFmpeg& sender, std::int32_t frame_number, std::int32_t fps,
                             std::int32_t current_duration, float quality, float bit_rate, std::int64_t current_size,
                             std::int32_t total_output_duration) {
        DoProgress(job_of(sender), frame_number, fps, current_duration, quality, bit_rate, current_size,
                   total_output_duration);
    };
    job.on_terminate = [this](TCustomFFmpeg& sender) { DoTerminate(job_of(sender)); };
}

bool TConverter::AddOutput(int index, const std::string& file_name, const TOutputOptions* options) {
    if (index < 0 || index >= jobs_.Count()) {
        last_error_ = "List index out of bounds (" + std::to_string(index) + ")";
        return false;
    }
    TFFmpeg& job = jobs_.Item(index);
    // Its thread owns a started job.
    if (job.running || job.terminated) {
        last_error_ = "The job has already been started";
        return false;
    }
    try {
        if (options) {
            job.OutputOptions = record_named(*options, file_name);
            apply_output_target(job, job.OutputOptions);
            job.apply_option_list(job.OutputOptions.ExtOptions, 0);
            apply_output_options(job, job.OutputOptions);
            bind_hook_events(job, job.OutputOptions);
        } else {
            reset_output_options(job.OutputOptions);
        }
        if (job.open_output_file(file_name) < 0) {
            last_error_ = job.last_error;
            return false;
        }
        if (options) job.apply_option_list(job.OutputOptions.ExtOptions, 1);
        return true;
    } catch (const std::exception& error) {
        last_error_ = error.what();
        return false;
    }
}

void TConverter::bind_hook_events(TFFmpeg& job, const TOutputOptions& options) {
    if (options.CustomHook) {
        job.on_custom_hook = [this](TCustomFFmpeg& sender, TBitmap& bitmap, std::int32_t frame_number,
                                    std::int64_t pts, bool& update, bool& stop_hook) {
            DoCustomHook(job_of(sender), bitmap, frame_number, pts, update, stop_hook);
        };
    } else if (options.BeforeHook) {
        job.on_before_hook = [this](TCustomFFmpeg& sender, std::int64_t pts, THookAction& action) {
            DoBeforeHook(job_of(sender), pts, action);
        };
    } else {
        parse_hook_ranges(job, options.VideoHookRanges);
    }
}

void TConverter::DeleteJob(int index) {
    if (index < 0 || index >= jobs_.Count()) return;
    std::vector<std::unique_ptr<TFFmpeg>> removed;
    {
        const TEventGuard guard(event_lock_);
        removed.push_back(jobs_.Take(index));
        ended_jobs_.erase(removed.back().get());
        // The run goes on with the jobs that are left; without a job that was still to start,
        // it may be over.
        if (index < next_job_) {
            --next_job_;
        } else if (jobs_left_ > 0) {
            --jobs_left_;
            notify_all_done_when_over();
        }
    }
    free_jobs(std::move(removed));
}

void TConverter::ClearJobs() {
    std::vector<std::unique_ptr<TFFmpeg>> removed;
    {
        const TEventGuard guard(event_lock_);
        removed = jobs_.TakeAll();
        ended_jobs_.clear();
        parallel_ = false;
        jobs_left_ = 0;
    }
    free_jobs(std::move(removed));
    last_error_.clear();
}

void TConverter::free_jobs(std::vector<std::unique_ptr<TFFmpeg>> jobs) {
    // Outside the locks: each job waits for its threads, whose last deliveries take them.
    for (std::unique_ptr<TFFmpeg>& job : jobs) {
        if (job.get() != job_in_caller_) {
            job.reset();
            continue;
        }
        // Its run is further up this very thread's stack.
        job->request_stop();
        removed_in_caller_.push_back(std::move(job));
    }
}

}  // namespace brenvale
