#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "binding/media_api.h"
#include "common/main_thread.h"
#include "common/thread_priority.h"
#include "converter_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using testing::ConverterTest;
using testing::TerminateEvent;
using testing::TestClipPath;
namespace clips = mediagen::clips;

const std::string kNoMessage;

class ConverterRunTest : public ConverterTest {
protected:
    // A job converting the H.264 clip to MPEG-4 video with MPEG audio in AVI.
    int AddConversion(const std::string& output, const TInputOptions* input = nullptr) {
        TOutputOptions options;
        options.VideoCodec = "mpeg4";
        options.AudioCodec = "mp2";
        return AddJob(clips::kMp4H264Aac, output, &options, input);
    }
    // A conversion that reads its input at its own frame rate, so it runs for its two seconds.
    int AddSlowConversion(const std::string& output) {
        TInputOptions input;
        input.ExtOptions = "re=1";
        return AddConversion(output, &input);
    }

    void ExpectConverted(const std::string& output) const {
        const testing::MediaReport report = testing::ReadMedia(OutputPath(output));
        ASSERT_TRUE(report.Opened()) << output;
        const std::vector<testing::StreamReport> video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
        const std::vector<testing::StreamReport> audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
        ASSERT_EQ(video.size(), 1u) << output;
        ASSERT_EQ(audio.size(), 1u) << output;
        EXPECT_EQ(video[0].codec, "mpeg4");
        EXPECT_EQ(video[0].frames, 50) << output;
        EXPECT_EQ(video[0].decode_errors, 0);
        EXPECT_NEAR(static_cast<double>(audio[0].samples), 88200.0, 1152.0 * 2) << output;
    }

    static std::vector<int> Indices(const std::vector<TerminateEvent>& events) {
        std::vector<int> indices;
        for (const TerminateEvent& event : events) indices.push_back(event.index);
        return indices;
    }

    // Records whether each job had been started when another job's end was delivered.
    void RecordStartsAtEachEnd() {
        converter_.SetOnTerminate([this](int index, bool finished, bool exception, const std::string& message) {
            std::vector<bool> started;
            for (int job = 0; job < converter_.Jobs().Count(); ++job) {
                const TFFmpeg& item = converter_.Jobs().Item(job);
                started.push_back(item.running || item.terminated);
            }
            const std::lock_guard<std::mutex> lock(mutex_);
            ends_.push_back({index, finished, exception, message, CurrentThreadId()});
            started_at_end_.push_back(started);
        });
    }
    bool WaitForEnds(std::size_t count) {
        return WaitServingMainThread(
            [&] {
                const std::lock_guard<std::mutex> lock(mutex_);
                return ends_.size() >= count;
            },
            120s);
    }

    std::mutex mutex_;
    std::vector<TerminateEvent> ends_;              // guarded by mutex_
    std::vector<std::vector<bool>> started_at_end_;  // guarded by mutex_
};

TEST_F(ConverterRunTest, OneThreadRunsTheJobsOneAfterAnotherOnWorkerThreads) {
    for (int i = 0; i < 3; ++i) ASSERT_EQ(AddConversion("job" + std::to_string(i) + ".avi"), i);
    RecordStartsAtEachEnd();
    converter_.StartJobs(1);
    ASSERT_TRUE(WaitForEnds(4));

    const std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_EQ(Indices(ends_), (std::vector<int>{0, 1, 2, -1}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(ends_[i].finished);
        EXPECT_FALSE(ends_[i].exception);
        EXPECT_NE(ends_[i].thread_id, CurrentThreadId()) << "a worker thread ends the job";
    }
    EXPECT_NE(ends_[0].thread_id, ends_[1].thread_id);
    // Each job starts only after the previous one ended, from that job's end.
    EXPECT_EQ(started_at_end_[0], (std::vector<bool>{true, false, false}));
    EXPECT_EQ(started_at_end_[1], (std::vector<bool>{true, true, false}));
    EXPECT_EQ(ends_[3], (TerminateEvent{-1, true, false, kNoMessage, ends_[2].thread_id}));
    for (int i = 0; i < 3; ++i) ExpectConverted("job" + std::to_string(i) + ".avi");
}

TEST_F(ConverterRunTest, TwoThreadsStartTheThirdJobWhenOneEnds) {
    for (int i = 0; i < 3; ++i) ASSERT_EQ(AddConversion("job" + std::to_string(i) + ".avi"), i);
    RecordStartsAtEachEnd();
    converter_.StartJobs(2);
    ASSERT_TRUE(WaitForEnds(4));

    const std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_EQ(ends_.back().index, -1);
    EXPECT_FALSE(started_at_end_[0][2]) << "the third job waits for a free thread";
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(ends_[i].finished);
    for (int i = 0; i < 3; ++i) ExpectConverted("job" + std::to_string(i) + ".avi");
}

TEST_F(ConverterRunTest, NoThreadsRunEveryJobInTheCaller) {
    for (int i = 0; i < 2; ++i) ASSERT_EQ(AddConversion("job" + std::to_string(i) + ".avi"), i);
    converter_.StartJobs(0);

    const std::vector<TerminateEvent> ends = events_.Terminations();
    EXPECT_EQ(Indices(ends), (std::vector<int>{0, 1, -1}));
    for (const TerminateEvent& end : ends) EXPECT_EQ(end.thread_id, CurrentThreadId());
    EXPECT_TRUE(ends[0].finished);
    EXPECT_TRUE(ends[1].finished);
    ExpectConverted("job0.avi");
    ExpectConverted("job1.avi");
}

TEST_F(ConverterRunTest, LibraryLinesOfAJobsThreadCarryItsIndex) {
    ASSERT_EQ(AddConversion("job0.avi"), 0);
    ASSERT_EQ(AddConversion("job1.avi"), 1);
    std::atomic<bool> logged{false};
    // The progress delivery holds the event lock: the line goes through the callback on top.
    converter_.SetOnProgress([&](int index, int, int, int, float, float, std::int64_t, int) {
        if (index == 1 && !logged.exchange(true)) ff::av_log(nullptr, AV_LOG_ERROR, "from job %d\n", index);
    });
    converter_.SetProgressInterval(100);
    converter_.StartJobs(1);
    ASSERT_TRUE(events_.WaitForAllDone());
    const std::vector<testing::LogEvent> lines = events_.LogsContaining("from job");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].index, 1);
    EXPECT_EQ(lines[0].level, TLogLevel::llError);
}

// The input is read on a thread of the job's own: what its reader says still names the job,
// with another job running beside it.
TEST_F(ConverterRunTest, LinesOfAJobsInputReaderCarryItsIndex) {
    ASSERT_EQ(AddConversion("job0.avi"), 0);
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.AudioCodec = "mp2";
    ASSERT_EQ(AddJob(clips::kTruncated, "job1.avi", &options), 1);
    converter_.StartJobs(2);
    ASSERT_TRUE(events_.WaitForAllDone());
    const std::vector<testing::LogEvent> lines = events_.LogsContaining("Packet corrupt");
    ASSERT_FALSE(lines.empty());
    for (const testing::LogEvent& line : lines) EXPECT_EQ(line.index, 1) << line.message;
}

TEST_F(ConverterRunTest, AnEmptyListReportsNothing) {
    converter_.StartJobs(0);
    converter_.StartJobs(2);
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(events_.Terminations().empty());
}

TEST_F(ConverterRunTest, EndedJobsNeverStartAgain) {
    ASSERT_EQ(AddConversion("job0.avi"), 0);
    converter_.StartJobs(1);
    ASSERT_TRUE(events_.WaitForAllDone());
    const std::size_t reported = events_.Terminations().size();

    converter_.StartJobs(1);
    converter_.StartJobs(0);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(events_.Terminations().size(), reported);
}

TEST_F(ConverterRunTest, AJobWithoutOutputFailsAndTheRunGoesOn) {
    ASSERT_EQ(converter_.AddInput(TestClipPath(clips::kWavPcm)), 0);
    ASSERT_EQ(AddConversion("job1.avi"), 1);
    converter_.StartJobs(1);
    ASSERT_TRUE(events_.WaitForAllDone());

    const std::string message = "At least one output file must be specified";
    const std::vector<TerminateEvent> ends = events_.Terminations();
    ASSERT_EQ(Indices(ends), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(ends[0], (TerminateEvent{0, false, true, message, CurrentThreadId()}));
    EXPECT_TRUE(ends[1].finished);
    const std::vector<testing::LogEvent> failures = events_.LogsContaining(message);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].index, 0);
    EXPECT_EQ(failures[0].level, TLogLevel::llQuiet);
}

struct EndOnIdleThread {
    TerminateEvent event;
    bool idle = false;
};

TEST_F(ConverterRunTest, StopEndsTheRunningJobAndReportsTheWaitingOnes) {
    ASSERT_EQ(AddSlowConversion("job0.avi"), 0);
    ASSERT_EQ(AddConversion("job1.avi"), 1);
    ASSERT_EQ(AddConversion("job2.avi"), 2);
    std::mutex mutex;
    std::vector<EndOnIdleThread> ends;
    converter_.SetOnTerminate([&](int index, bool finished, bool exception, const std::string& message) {
        const std::lock_guard<std::mutex> lock(mutex);
        ends.push_back({{index, finished, exception, message, CurrentThreadId()}, ::sched_getscheduler(0) == SCHED_IDLE});
    });
    converter_.StartJobs(1);
    const TFFmpeg& first = converter_.Jobs().Item(0);
    ASSERT_TRUE(WaitServingMainThread([&] { return first.ThreadID != 0; }, 10s));
    const std::uint32_t first_thread = first.ThreadID;
    converter_.StopJobs();
    ASSERT_TRUE(WaitServingMainThread(
        [&] {
            const std::lock_guard<std::mutex> lock(mutex);
            return ends.size() == 4;
        },
        60s));

    const std::lock_guard<std::mutex> lock(mutex);
    std::vector<int> indices;
    for (const EndOnIdleThread& end : ends) indices.push_back(end.event.index);
    // The running job and the two threads that report the waiting ones end in any order.
    std::sort(indices.begin(), indices.end() - 1);
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2, -1}));
    for (const EndOnIdleThread& end : std::vector<EndOnIdleThread>(ends.begin(), ends.end() - 1)) {
        EXPECT_FALSE(end.event.finished);
        EXPECT_FALSE(end.event.exception);
        EXPECT_EQ(end.event.message, "");
        if (end.event.index == 0) {
            EXPECT_EQ(end.event.thread_id, first_thread);
        } else {
            EXPECT_TRUE(end.idle) << "job " << end.event.index << " is reported from an idle thread";
            EXPECT_NE(end.event.thread_id, CurrentThreadId());
        }
    }
    converter_.ClearJobs();
    EXPECT_FALSE(std::filesystem::exists(OutputPath("job1.avi"))) << "outputs that stayed empty are deleted";
    EXPECT_FALSE(std::filesystem::exists(OutputPath("job2.avi")));
}

TEST_F(ConverterRunTest, APausedJobWaitsUntilItIsResumed) {
    ASSERT_EQ(AddConversion("job0.avi"), 0);
    converter_.SetProgressInterval(100);
    converter_.StartJobs(1);
    converter_.PauseJobs();
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(events_.Terminations().empty());
    EXPECT_TRUE(converter_.Jobs().Item(0).running);
    converter_.ResumeJobs();
    ASSERT_TRUE(events_.WaitForAllDone());
    EXPECT_TRUE(events_.Terminations()[0].finished);
    ExpectConverted("job0.avi");
}

TEST_F(ConverterRunTest, StartingSetsTheJobsProgressInterval) {
    ASSERT_EQ(AddConversion("job0.avi"), 0);
    converter_.SetProgressInterval(50);
    converter_.StartJobs(0);
    EXPECT_EQ(converter_.Jobs().Item(0).progress_interval, 100000);
    EXPECT_GT(events_.ProgressCount(), 0);
}

// The run it belonged to still ends, with its all-done notification.
TEST_F(ConverterRunTest, DeletingARunningJobWaitsForItAndReportsNothingOfIt) {
    ASSERT_EQ(AddSlowConversion("job0.avi"), 0);
    converter_.StartJobs(1);
    ASSERT_TRUE(WaitServingMainThread([&] { return converter_.Jobs().Item(0).ThreadID != 0; }, 10s));
    converter_.DeleteJob(0);
    EXPECT_EQ(converter_.Jobs().Count(), 0);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(Indices(events_.Terminations()), std::vector<int>{-1});
}

TEST_F(ConverterRunTest, DestroyingTheComponentStopsItsJobsAndWaitsForThem) {
    std::atomic<int> deliveries_after_destruction{0};
    std::atomic<bool> destroyed{false};
    {
        TConverter converter;
        ASSERT_TRUE(converter.LoadLibraries(""));
        TInputOptions input;
        input.ExtOptions = "re=1";
        for (int i = 0; i < 2; ++i) {
            const int index = converter.AddInput(TestClipPath(clips::kMp4H264Aac), &input);
            ASSERT_EQ(index, i) << converter.LastError();
            TOutputOptions options;
            options.VideoCodec = "mpeg4";
            options.AudioCodec = "mp2";
            ASSERT_TRUE(converter.AddOutput(index, OutputPath("job" + std::to_string(i) + ".avi"), &options));
        }
        converter.SetOnTerminate([&](int, bool, bool, const std::string&) {
            if (destroyed) ++deliveries_after_destruction;
        });
        converter.StartJobs(2);
        ASSERT_TRUE(WaitServingMainThread([&] { return converter.Jobs().Item(1).ThreadID != 0; }, 10s));
        destroyed = true;
    }
    EXPECT_EQ(deliveries_after_destruction, 0);
}

}  // namespace
}  // namespace brenvale
