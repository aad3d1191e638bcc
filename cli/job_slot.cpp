#include "cli/job_slot.h"

namespace brenvale::cli {

TJobSlot::TJobSlot() {
    converter_.SetOnProgress([this](int, std::int32_t frames, std::int32_t, std::int32_t done_ms, float, float,
                                    std::int64_t size, std::int32_t total_ms) {
        const std::lock_guard<std::mutex> lock(mutex_);
        report_.Frames = frames;
        report_.Clock.Report(elapsed_ms(), done_ms, length_known_ ? total_ms : 0, frames);
        report_.DoneMs = done_ms;
        report_.TotalMs = length_known_ ? total_ms : -1;
        report_.SizeBytes = size;
    });
    converter_.SetOnTerminate([this](int index, bool finished, bool exception, const std::string& message) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (index < 0) {
            report_.AllDone = true;
            return;
        }
        report_.Ended = true;
        report_.Finished = finished;
        report_.Exception = exception;
        report_.Message = message;
    });
}

void TJobSlot::Begin(int file, bool length_known) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        report_ = TReport{};
        started_ = std::chrono::steady_clock::now();
        length_known_ = length_known;
    }
    file_ = file;
}

void TJobSlot::Release() {
    converter_.ClearJobs();
    file_ = -1;
}

std::int64_t TJobSlot::ElapsedMs() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return elapsed_ms();
}

std::int64_t TJobSlot::elapsed_ms() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_).count();
}

TJobSlot::TReport TJobSlot::Report() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return report_;
}

}  // namespace brenvale::cli
