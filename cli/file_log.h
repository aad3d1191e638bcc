// The log lines of the conversions, by the file they belong to: each distinct warning once per
// file with how often it came, printed when the file ends; or, verbose, every line as it comes.
//
// Every converter component hears every library line, one slot's component after another, on
// the thread that logged it. A line belongs to the file of the slot whose component names its
// job (the line came from the job's thread, or it is one of the engine's own); a line the
// owner's thread logs while a slot prepares its file (probing, opening) belongs to that file;
// any other line, from threads no component knows (a codec's own threads), belongs to the only
// running file, and to none when several run.
//
// Threads: Heard from any thread; everything else from the owner's thread. The state below is
// guarded by lock_.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "converter/converter.h"
#include "cli/progress_display.h"

namespace brenvale::cli {

// A library line for a reader: "[ogg @ 7F12A0]Broken file" becomes "[ogg] Broken file" (the
// address tells a user nothing).
std::string ReadableLogLine(const std::string& line);

class TFileLog {
public:
    TFileLog(TProgressDisplay& display, bool verbose, int slots);

    // The slot starts preparing the file named `name` (its job is added, not yet started).
    void Preparing(int slot, const std::string& name);
    // The slot's job runs.
    void Running(int slot);
    // The slot's file has ended: its warnings are printed, the slot is free.
    void Ended(int slot);

    void Heard(int slot, int index, TLogLevel level, const std::string& line);

private:
    // A file whose decoder complains about every broken block could bring endless distinct
    // lines: beyond this many, the others are only counted.
    static constexpr std::size_t kMaxDistinctWarnings = 100;

    struct TSlotLog {
        std::string Name;  // empty: free
        bool Preparing = false;
        std::vector<std::pair<std::string, int>> Warnings;  // distinct, in the order they first came
        int Others = 0;  // warnings beyond kMaxDistinctWarnings distinct ones
    };
    bool belongs_to(int slot, int index) const;
    int running_count() const;
    void count(TSlotLog& slot, const std::string& line);

    TProgressDisplay& display_;
    const bool verbose_;
    const std::uint32_t owner_thread_;
    mutable std::mutex lock_;
    std::vector<TSlotLog> slots_;
};

}  // namespace brenvale::cli
