#include "converter_fixture.h"

#include <unistd.h>

#include <string>

#include "common/main_thread.h"
#include "common/thread_priority.h"
#include "tests/support/test_media.h"

namespace brenvale::testing {

void EventRecorder::Attach(TConverter& converter) {
    converter.SetOnTerminate([this](int index, bool finished, bool exception, const std::string& message) {
        AddTermination({index, finished, exception, message, CurrentThreadId()});
    });
    converter.SetOnLog([this](int index, TLogLevel level, const std::string& message) {
        const std::lock_guard<std::mutex> lock(mutex_);
        logs_.push_back({index, level, message, CurrentThreadId()});
    });
    converter.SetOnProgress([this](int, int, int, int, float, float, std::int64_t, int) {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++progress_count_;
    });
}

void EventRecorder::AddTermination(const TerminateEvent& event) {
    const std::lock_guard<std::mutex> lock(mutex_);
    terminations_.push_back(event);
}

std::vector<TerminateEvent> EventRecorder::Terminations() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return terminations_;
}

std::vector<LogEvent> EventRecorder::Logs() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return logs_;
}

std::vector<LogEvent> EventRecorder::LogsContaining(const std::string& part) const {
    std::vector<LogEvent> found;
    for (const LogEvent& event : Logs()) {
        if (event.message.find(part) != std::string::npos) found.push_back(event);
    }
    return found;
}

int EventRecorder::ProgressCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return progress_count_;
}

bool EventRecorder::WaitForAllDone(std::chrono::seconds timeout) const {
    return WaitServingMainThread(
        [this] {
            const std::lock_guard<std::mutex> lock(mutex_);
            return !terminations_.empty() && terminations_.back().index == -1;
        },
        timeout);
}

void ConverterTest::SetUp() {
    ASSERT_TRUE(converter_.LoadLibraries("")) << converter_.LastError();
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // Per process: other builds may run the same tests at the same time.
    root_ = std::filesystem::temp_directory_path() / ("brenvale-converter-" + std::to_string(::getpid()));
    folder_ = root_ / test->test_suite_name() / test->name();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    events_.Attach(converter_);
}

void ConverterTest::TearDown() {
    converter_.ClearJobs();
    std::filesystem::remove_all(root_);
}

int ConverterTest::AddJob(const std::string& clip, const std::string& output, const TOutputOptions* options,
                          const TInputOptions* input) {
    const int index = converter_.AddInput(TestClipPath(clip), input);
    EXPECT_GE(index, 0) << converter_.LastError();
    if (index >= 0) {
        EXPECT_TRUE(converter_.AddOutput(index, OutputPath(output), options)) << converter_.LastError();
    }
    return index;
}

}  // namespace brenvale::testing
