#include "converter/ffmpeg_job.h"

#include <utility>

namespace brenvale {

TFFmpeg::~TFFmpeg() { stop_and_wait(); }

int TFFmpegList::Add(std::unique_ptr<TFFmpeg> job) {
    job->JobIndex = Count();
    jobs_.push_back(std::move(job));
    return Count() - 1;
}

std::unique_ptr<TFFmpeg> TFFmpegList::Take(int index) {
    std::unique_ptr<TFFmpeg> job = std::move(jobs_.at(static_cast<std::size_t>(index)));
    jobs_.erase(jobs_.begin() + index);
    for (int later = index; later < Count(); ++later) Item(later).JobIndex = later;
    job->JobIndex = -1;
    return job;
}

std::vector<std::unique_ptr<TFFmpeg>> TFFmpegList::TakeAll() {
    for (const std::unique_ptr<TFFmpeg>& job : jobs_) job->JobIndex = -1;
    return std::exchange(jobs_, {});
}

TFFmpeg* TFFmpegList::FindByThread(std::uint32_t thread_id) const {
    for (const std::unique_ptr<TFFmpeg>& job : jobs_) {
        if (job->ThreadID == thread_id) return job.get();
    }
    return nullptr;
}

TFFmpeg* TFFmpegList::FindByEngine(const TCustomFFmpeg* engine) const {
    for (const std::unique_ptr<TFFmpeg>& job : jobs_) {
        if (static_cast<const TCustomFFmpeg*>(job.get()) == engine) return job.get();
    }
    return nullptr;
}

}  // namespace brenvale
