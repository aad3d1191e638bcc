#include "cli/file_log.h"

#include <algorithm>

#include "common/thread_priority.h"

namespace brenvale::cli {

std::string ReadableLogLine(const std::string& line) {
    const auto close = line.find(']');
    const auto at = line.find(" @ ");
    if (!line.starts_with('[') || close == std::string::npos || at == std::string::npos || at > close) return line;
    std::string rest = line.substr(close + 1);
    if (!rest.empty() && rest.front() != ' ') rest.insert(0, " ");
    return line.substr(0, at) + "]" + rest;
}

TFileLog::TFileLog(TProgressDisplay& display, bool verbose, int slots)
    : display_(display), verbose_(verbose), owner_thread_(CurrentThreadId()), slots_(static_cast<std::size_t>(slots)) {}

void TFileLog::Preparing(int slot, const std::string& name) {
    const std::lock_guard<std::mutex> lock(lock_);
    slots_[static_cast<std::size_t>(slot)] = {name, true, {}, 0};
}

void TFileLog::Running(int slot) {
    const std::lock_guard<std::mutex> lock(lock_);
    slots_[static_cast<std::size_t>(slot)].Preparing = false;
}

void TFileLog::Ended(int slot) {
    TSlotLog ended;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        std::swap(ended, slots_[static_cast<std::size_t>(slot)]);
    }
    for (const auto& [warning, times] : ended.Warnings) {
        display_.Log(ended.Name + ": " + warning + (times > 1 ? " (" + std::to_string(times) + " times)" : ""));
    }
    if (ended.Others > 0) {
        display_.Log(ended.Name + ": " + std::to_string(ended.Others) + " more warnings (--verbose shows every one)");
    }
}

void TFileLog::Heard(int slot, int index, TLogLevel level, const std::string& line) {
    // Quiet lines are the jobs' fatal errors, which the final report gives.
    if (level == TLogLevel::llQuiet) return;
    const std::lock_guard<std::mutex> lock(lock_);
    if (!belongs_to(slot, index)) return;
    TSlotLog& file = slots_[static_cast<std::size_t>(slot)];
    if (verbose_) {
        display_.Log(file.Name + ": " + ReadableLogLine(line));
    } else if (level == TLogLevel::llError) {
        count(file, ReadableLogLine(line));
    }
}

bool TFileLog::belongs_to(int slot, int index) const {
    const TSlotLog& file = slots_[static_cast<std::size_t>(slot)];
    if (file.Name.empty()) return false;
    if (index >= 0) return true;
    if (CurrentThreadId() == owner_thread_) return file.Preparing;
    return !file.Preparing && running_count() == 1;
}

int TFileLog::running_count() const {
    return static_cast<int>(
        std::count_if(slots_.begin(), slots_.end(), [](const TSlotLog& file) { return !file.Name.empty() && !file.Preparing; }));
}

void TFileLog::count(TSlotLog& file, const std::string& line) {
    const auto known = std::find_if(file.Warnings.begin(), file.Warnings.end(),
                                    [&](const auto& warning) { return warning.first == line; });
    if (known != file.Warnings.end()) {
        ++known->second;
    } else if (file.Warnings.size() < kMaxDistinctWarnings) {
        file.Warnings.emplace_back(line, 1);
    } else {
        ++file.Others;
    }
}

}  // namespace brenvale::cli
