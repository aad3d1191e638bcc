// A conversion job of the converter component, and the list that owns the jobs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "converter/option_records.h"
#include "engine/custom_ffmpeg.h"
#include "probe/av_probe.h"

namespace brenvale {

// Threads: JobIndex and ThreadID are read by any thread (log lines, events) and written under
// the component's locks. The records and the probe belong to the owner's thread; the probe
// describes the job's input only until the job starts (the run then owns and frees it).
class TFFmpeg : public TCustomFFmpeg {
public:
    TFFmpeg() = default;
    // Waits for the job's threads first: their deliveries read this object's members.
    ~TFFmpeg() override;

    std::atomic<int> JobIndex{-1};               // -1 while not listed
    std::atomic<std::uint32_t> ThreadID{0};      // thread running the job; 0 when none
    TInputOptions InputOptions;
    TOutputOptions OutputOptions;
    TAVProbe Probe;
};

// Not thread-safe: the component guards it.
class TFFmpegList {
public:
    int Count() const { return static_cast<int>(jobs_.size()); }
    TFFmpeg& Item(int index) const { return *jobs_.at(static_cast<std::size_t>(index)); }
    // Appends the job and gives it its position as JobIndex.
    int Add(std::unique_ptr<TFFmpeg> job);
    // Removes a job, renumbers the later ones and hands the removed job (JobIndex -1) back, so
    // the caller can free it where waiting for its threads is safe.
    std::unique_ptr<TFFmpeg> Take(int index);
    std::vector<std::unique_ptr<TFFmpeg>> TakeAll();
    // The first job, in list order, run by the thread; nullptr when none.
    TFFmpeg* FindByThread(std::uint32_t thread_id) const;
    // The job that is this engine; nullptr when none is (never dereferenced).
    TFFmpeg* FindByEngine(const TCustomFFmpeg* engine) const;

private:
    std::vector<std::unique_ptr<TFFmpeg>> jobs_;
};

}  // namespace brenvale
