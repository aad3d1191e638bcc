// A converter component with the libraries loaded, and what its handlers saw.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "converter/converter.h"

namespace brenvale::testing {

struct TerminateEvent {
    int index = 0;
    bool finished = false;
    bool exception = false;
    std::string message;
    std::uint32_t thread_id = 0;
    bool operator==(const TerminateEvent&) const = default;
};

struct LogEvent {
    int index = 0;
    TLogLevel level = TLogLevel::llInfo;
    std::string message;
    std::uint32_t thread_id = 0;
};

// Records the events of a component, from any thread.
class EventRecorder {
public:
    void Attach(TConverter& converter);
    // For handlers of a test's own that still want the termination recorded.
    void AddTermination(const TerminateEvent& event);

    std::vector<TerminateEvent> Terminations() const;
    std::vector<LogEvent> Logs() const;
    // Log lines whose text contains `part`.
    std::vector<LogEvent> LogsContaining(const std::string& part) const;
    int ProgressCount() const;
    // Waits (serving main-thread calls) until the all-done notification came.
    bool WaitForAllDone(std::chrono::seconds timeout = std::chrono::seconds(120)) const;

private:
    mutable std::mutex mutex_;
    std::vector<TerminateEvent> terminations_;  // guarded by mutex_
    std::vector<LogEvent> logs_;                // guarded by mutex_
    int progress_count_ = 0;                    // guarded by mutex_
};

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string OutputPath(const std::string& name) const { return (folder_ / name).string(); }
    // A job converting `clip` (a catalogue name) to `output` in the test's folder; its index.
    int AddJob(const std::string& clip, const std::string& output, const TOutputOptions* options = nullptr,
               const TInputOptions* input = nullptr);

    std::filesystem::path root_;
    std::filesystem::path folder_;
    TConverter converter_;
    EventRecorder events_;
};

}  // namespace brenvale::testing
