// One place for a running conversion: a converter component that holds at most one job at a
// time, as the window's queue uses its component, and what that job reported.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "app/catalogue/progress_figures.h"
#include "converter/converter.h"

namespace brenvale::cli {

class TJobSlot {
public:
    // Threads: the owner's thread calls everything; the job's thread writes the report
    // through the handlers, guarded by mutex_.
    struct TReport {
        std::int32_t Frames = -1;
        TProgressClock Clock;  // speed and time left, as the window tells them
        std::int32_t DoneMs = 0;
        std::int32_t TotalMs = -1;
        std::int64_t SizeBytes = 0;
        bool Ended = false;  // the job's end was reported
        bool Finished = false;
        bool Exception = false;
        std::string Message;
        bool AllDone = false;  // the run's end: nothing of the job runs any more
    };

    TJobSlot();
    TConverter& Converter() { return converter_; }

    // The slot now runs the job of input file `file`, started at this moment. Without a known
    // length (the engine's total is a recording limit then) neither share nor time left is told.
    void Begin(int file, bool length_known);
    // Back to free, the job freed.
    void Release();
    bool Busy() const { return file_ >= 0; }
    int File() const { return file_; }
    std::int64_t ElapsedMs() const;
    TReport Report() const;

private:
    std::int64_t elapsed_ms() const;  // mutex_ held

    int file_ = -1;
    mutable std::mutex mutex_;
    std::chrono::steady_clock::time_point started_;  // guarded by mutex_
    bool length_known_ = true;  // guarded by mutex_
    TReport report_;  // guarded by mutex_
    // Last: its destruction waits for the job, whose handlers use the members above.
    TConverter converter_;
};

}  // namespace brenvale::cli
