#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "binding/path_utils.h"
#include "common/main_thread.h"
#include "common/thread_priority.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_thread.h"
#include "engine_test_files.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;

// What an owner sees of a job through its event slots.
class JobEvents {
public:
    explicit JobEvents(TCustomFFmpeg& engine) {
        engine.on_log = [this](TCustomFFmpeg&, int level, const std::string& message) {
            const std::lock_guard<std::mutex> lock(mutex_);
            logs_.emplace_back(level, message);
        };
        engine.on_terminate = [this](TCustomFFmpeg& sender) {
            terminate_thread_ = CurrentThreadId();
            running_at_terminate_ = sender.running.load();
            ++terminations_;
        };
    }
    std::vector<std::pair<int, std::string>> Logs() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return logs_;
    }
    int Terminations() const { return terminations_; }
    std::uint32_t TerminateThread() const { return terminate_thread_; }
    bool RunningAtTerminate() const { return running_at_terminate_; }
    bool WaitForTermination() const {
        return WaitServingMainThread([this] { return terminations_ > 0; }, 20s);
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, std::string>> logs_;  // guarded by mutex_
    std::atomic<int> terminations_{0};
    std::atomic<std::uint32_t> terminate_thread_{0};
    std::atomic<bool> running_at_terminate_{true};
};

using EngineLifecycleTest = EngineFilesTest;

class StartValidationTest : public EngineFilesTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StartValidationTest, AJobWithoutOutputsEndsAtOnceAndNeverStartsAgain) {
    const bool threaded = GetParam();
    TCustomFFmpeg engine;
    engine.prepare_job();
    JobEvents events(engine);
    AddInput(engine);

    EXPECT_EQ(engine.start(threaded), nullptr);
    const auto expected_log = std::vector<std::pair<int, std::string>>{
        {-1, "At least one output file must be specified"}};
    EXPECT_EQ(events.Logs(), expected_log);
    EXPECT_EQ(events.Terminations(), 1);
    EXPECT_EQ(events.TerminateThread(), CurrentThreadId());
    EXPECT_FALSE(events.RunningAtTerminate());
    EXPECT_TRUE(engine.exception_raised);
    EXPECT_EQ(engine.exception_message, "At least one output file must be specified");
    EXPECT_TRUE(engine.terminated);
    EXPECT_FALSE(engine.finished);
    EXPECT_EQ(engine.input_file_count, 0) << "the job is released";

    EXPECT_EQ(engine.start(threaded), nullptr);
    EXPECT_EQ(events.Terminations(), 1);
    EXPECT_EQ(events.Logs().size(), 1u);
}

TEST_P(StartValidationTest, AJobWithAnOutputButNoInputsReportsTheMissingInput) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    JobEvents events(engine);
    AddOutput(engine, "out.wav", 0);

    EXPECT_EQ(engine.start(GetParam()), nullptr);
    EXPECT_EQ(events.Terminations(), 1);
    EXPECT_TRUE(engine.exception_raised);
    EXPECT_EQ(engine.exception_message, "At least one input file must be specified");
    EXPECT_EQ(engine.output_file_count, 0);
    EXPECT_FALSE(FileExists(PathOf("out.wav"))) << "the empty output is deleted with the job";
}

INSTANTIATE_TEST_SUITE_P(ThreadedOrNot, StartValidationTest, ::testing::Bool());

TEST_F(EngineLifecycleTest, AJobRunInTheCallerEndsThereAndFinishes) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    JobEvents events(engine);
    AddInput(engine);
    AddConvertibleOutput(engine, "out.wav");

    EXPECT_EQ(engine.start(false), nullptr);
    EXPECT_EQ(events.Terminations(), 1);
    EXPECT_EQ(events.TerminateThread(), CurrentThreadId());
    EXPECT_TRUE(engine.finished);
    EXPECT_FALSE(engine.exception_raised);
    EXPECT_TRUE(engine.terminated);
    EXPECT_FALSE(engine.running);
    EXPECT_EQ(engine.input_file_count, 0);
    EXPECT_EQ(engine.output_file_count, 0);
    EXPECT_GT(FileSize(PathOf("out.wav")), 44) << "the converted sound follows the header";
}

TEST_F(EngineLifecycleTest, AThreadedJobRunsOnItsWorkerOnceResumed) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    JobEvents events(engine);
    AddInput(engine);
    AddConvertibleOutput(engine, "out.wav");

    TFFmpegThread* thread = engine.start(true, TThreadPriority::tpLower);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(engine.worker_thread.load(), thread);
    EXPECT_TRUE(engine.running);
    const std::uint32_t worker_id = thread->ThreadID();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(events.Terminations(), 0) << "the thread waits to be resumed";
    thread->Resume();

    ASSERT_TRUE(events.WaitForTermination());
    EXPECT_EQ(events.TerminateThread(), worker_id);
    EXPECT_TRUE(engine.finished);
    EXPECT_EQ(engine.worker_thread.load(), nullptr);
    EXPECT_EQ(engine.start(true), nullptr) << "an ended job does not start again";
}

TEST_F(EngineLifecycleTest, CancelOfAJobNeverStartedReportsItFromAnotherThreadOnce) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    JobEvents events(engine);
    AddInput(engine);

    engine.cancel();
    engine.cancel();  // before the reporting thread ran
    EXPECT_EQ(engine.start(false), nullptr) << "a cancelled job does not start";
    ASSERT_TRUE(events.WaitForTermination());
    EXPECT_NE(events.TerminateThread(), CurrentThreadId());
    EXPECT_TRUE(engine.terminated);
    EXPECT_FALSE(engine.finished);
    EXPECT_FALSE(engine.exception_raised);

    engine.cancel();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(events.Terminations(), 1);
    EXPECT_TRUE(events.Logs().empty());
}

struct HeldJobCase {
    const char* name;
    void (*release)(TCustomFFmpeg&);
    bool finished;
};

void PrintTo(const HeldJobCase& held, std::ostream* out) { *out << held.name; }

class HeldJobTest : public EngineFilesTest, public ::testing::WithParamInterface<HeldJobCase> {};

TEST_P(HeldJobTest, APausedJobWaitsAtTheGateUntilResumedOrStopped) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    JobEvents events(engine);
    AddInput(engine);
    AddConvertibleOutput(engine, "out.wav");

    TFFmpegThread* thread = engine.start(true);
    ASSERT_NE(thread, nullptr);
    engine.pause();
    thread->Resume();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(events.Terminations(), 0);
    EXPECT_TRUE(engine.running);

    GetParam().release(engine);
    ASSERT_TRUE(events.WaitForTermination());
    EXPECT_EQ(engine.finished, GetParam().finished);
    EXPECT_FALSE(engine.exception_raised);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, HeldJobTest,
    ::testing::Values(HeldJobCase{"Resume", [](TCustomFFmpeg& engine) { engine.resume(); }, true},
                      HeldJobCase{"RequestStop", [](TCustomFFmpeg& engine) { engine.request_stop(); }, false},
                      HeldJobCase{"Cancel", [](TCustomFFmpeg& engine) { engine.cancel(); }, false}),
    [](const ::testing::TestParamInfo<HeldJobCase>& info) { return std::string(info.param.name); });

TEST_F(EngineLifecycleTest, DestroyingAnEngineStopsItsPausedJobWhileServingTheMainThread) {
    auto engine = std::make_unique<TCustomFFmpeg>();
    engine->prepare_job();
    AddInput(*engine);
    AddConvertibleOutput(*engine, "out.wav");
    std::atomic<bool> reported_on_main{false};
    std::atomic<bool> finished_at_end{true};
    // The handler waits for the main thread while the main thread sits in the destructor.
    engine->on_terminate = [&](TCustomFFmpeg& sender) {
        finished_at_end = sender.finished.load();
        RunOnMainThread([&] { reported_on_main = IsMainThread(); });
    };

    TFFmpegThread* thread = engine->start(true);
    ASSERT_NE(thread, nullptr);
    engine->pause();
    thread->Resume();
    std::this_thread::sleep_for(50ms);
    engine.reset();

    EXPECT_TRUE(reported_on_main);
    EXPECT_FALSE(finished_at_end);
    EXPECT_FALSE(FileExists(PathOf("out.wav"))) << "stopped before its first packet, it leaves no header-only file";
}

}  // namespace
}  // namespace brenvale
