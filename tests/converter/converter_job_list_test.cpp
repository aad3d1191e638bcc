// The job list under an owner's hands while a run goes on: jobs deleted or cleared while they
// run, from the owner's thread or from the component's own events, a pause at the end of a
// job, and library lines written by the codecs' own threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/main_thread.h"
#include "converter_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
namespace clips = mediagen::clips;
using testing::ConverterTest;
using testing::TerminateEvent;
using testing::TestClipPath;

std::vector<int> Indices(const std::vector<TerminateEvent>& events) {
    std::vector<int> indices;
    for (const TerminateEvent& event : events) indices.push_back(event.index);
    return indices;
}

class ConverterJobListTest : public ConverterTest {
protected:
    // A short conversion of the PCM clip; `slow` reads it at its own rate (two seconds).
    int AddSoundJob(const std::string& output, bool slow = false) {
        TInputOptions input;
        if (slow) input.ExtOptions = "re=1";
        TOutputOptions options;
        options.AudioCodec = "pcm_s16le";
        return AddJob(clips::kWavPcm, output, &options, &input);
    }
    bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds timeout = 60s) {
        return WaitServingMainThread(condition, timeout);
    }
    bool Ended(int index) const {
        for (const TerminateEvent& event : events_.Terminations()) {
            if (event.index == index) return true;
        }
        return false;
    }
    static int AllDoneCount(const std::vector<TerminateEvent>& events) {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [](const TerminateEvent& event) { return event.index == -1; }));
    }
    void ExpectConverted(const std::string& output) const {
        const auto audio = testing::ReadMedia(OutputPath(output)).StreamsOf(AVMEDIA_TYPE_AUDIO);
        ASSERT_EQ(audio.size(), 1u) << output;
        EXPECT_EQ(audio[0].samples, 88200) << output;
    }
};

// The run goes on with the jobs that are left, and its end is reported once.
TEST_F(ConverterJobListTest, DeletingTheRunningJobOfAThreadedRunStartsTheNext) {
    ASSERT_EQ(AddSoundJob("job0.wav", true), 0);
    ASSERT_EQ(AddSoundJob("job1.wav"), 1);
    ASSERT_EQ(AddSoundJob("job2.wav"), 2);
    converter_.StartJobs(1);
    ASSERT_TRUE(WaitFor([&] { return converter_.Jobs().Item(0).ThreadID != 0; }));
    converter_.DeleteJob(0);
    ASSERT_TRUE(events_.WaitForAllDone(60s)) << "the run stalled";
    std::this_thread::sleep_for(200ms);

    const std::vector<TerminateEvent> ends = events_.Terminations();
    EXPECT_EQ(Indices(ends), (std::vector<int>{0, 1, -1})) << "the former jobs 1 and 2, then the end";
    for (const TerminateEvent& end : ends) EXPECT_TRUE(end.finished);
    ExpectConverted("job1.wav");
    ExpectConverted("job2.wav");
}

// A job that ended and is then deleted no longer counts for the end of the run.
TEST_F(ConverterJobListTest, DeletingAnEndedJobKeepsTheEndOfTheRunForTheLastJob) {
    ASSERT_EQ(AddSoundJob("job0.wav"), 0);
    ASSERT_EQ(AddSoundJob("job1.wav", true), 1);
    ASSERT_EQ(AddSoundJob("job2.wav", true), 2);
    converter_.StartJobs(2);
    ASSERT_TRUE(WaitFor([&] { return Ended(0); }));
    converter_.DeleteJob(0);
    ASSERT_TRUE(events_.WaitForAllDone(60s));
    std::this_thread::sleep_for(300ms);

    const std::vector<TerminateEvent> ends = events_.Terminations();
    EXPECT_EQ(AllDoneCount(ends), 1);
    ASSERT_EQ(ends.size(), 4u);
    EXPECT_EQ(ends.back().index, -1) << "after both running jobs";
    for (const int index : {1, 2}) {
        EXPECT_FALSE(converter_.Jobs().Item(index - 1).running);
        ExpectConverted("job" + std::to_string(index) + ".wav");
    }
}

struct HandlerRemoval {
    const char* name;
    std::function<void(TConverter&)> remove;  // called at every end of the job at index 0
    std::vector<int> ends;                    // the terminations delivered
    std::vector<bool> converted;              // job0.wav, job1.wav
};

void PrintTo(const HandlerRemoval& removal, std::ostream* out) { *out << removal.name; }

class HandlerRemovalTest : public ConverterJobListTest, public ::testing::WithParamInterface<HandlerRemoval> {};

// In a run in the caller's thread, OnTerminate comes from inside the job that ends: removing it
// there must wait until the job is done with itself.
TEST_P(HandlerRemovalTest, RemovingJobsFromOnTerminateOfARunInTheCaller) {
    ASSERT_EQ(AddSoundJob("job0.wav"), 0);
    ASSERT_EQ(AddSoundJob("job1.wav"), 1);
    std::vector<int> ends;
    converter_.SetOnTerminate([&](int index, bool, bool, const std::string&) {
        ends.push_back(index);
        if (index == 0) GetParam().remove(converter_);
    });
    converter_.StartJobs(0);
    EXPECT_EQ(ends, GetParam().ends);
    EXPECT_EQ(converter_.Jobs().Count(), 0);
    for (int i = 0; i < 2; ++i) {
        const std::string output = "job" + std::to_string(i) + ".wav";
        if (GetParam().converted[static_cast<std::size_t>(i)]) {
            ExpectConverted(output);
        } else {
            EXPECT_FALSE(std::filesystem::exists(OutputPath(output))) << output;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Removals, HandlerRemovalTest,
    ::testing::Values(HandlerRemoval{"ClearJobs", [](TConverter& c) { c.ClearJobs(); }, {0, -1}, {true, false}},
                      // The former job 1 runs as job 0 and is deleted at its end too.
                      HandlerRemoval{"DeleteJob", [](TConverter& c) { c.DeleteJob(0); }, {0, 0, -1}, {true, true}}),
    [](const auto& info) { return std::string(info.param.name); });

// A pause that comes while a job is ending holds the job that starts next.
TEST_F(ConverterJobListTest, APauseAtTheEndOfAJobHoldsTheNextJob) {
    ASSERT_EQ(AddSoundJob("job0.wav"), 0);
    ASSERT_EQ(AddSoundJob("job1.wav", true), 1);
    std::atomic<bool> ending{false};
    converter_.SetOnTerminate([&](int index, bool finished, bool exception, const std::string& message) {
        if (index == 0) {
            ending = true;
            std::this_thread::sleep_for(300ms);  // the owner pauses now
        }
        events_.AddTermination({index, finished, exception, message, CurrentThreadId()});
    });
    converter_.StartJobs(1);
    ASSERT_TRUE(WaitFor([&] { return ending.load(); }));
    converter_.PauseJobs();
    std::this_thread::sleep_for(2500ms);
    EXPECT_FALSE(Ended(1)) << "the next job ran while paused";
    EXPECT_TRUE(converter_.Jobs().Item(1).running);
    converter_.ResumeJobs();
    ASSERT_TRUE(events_.WaitForAllDone(60s));
    EXPECT_EQ(Indices(events_.Terminations()), (std::vector<int>{0, 1, -1}));
    ExpectConverted("job1.wav");
}

// Frame-threaded decoders log from threads of their own; their lines still name the job.
TEST_F(ConverterJobListTest, LinesOfTheCodecsOwnThreadsCarryTheJobsIndex) {
    const std::string damaged = OutputPath("damaged.mp4");
    std::filesystem::copy_file(TestClipPath(clips::kMp4H264Aac), damaged);
    {
        std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
        const auto size = static_cast<std::streamoff>(std::filesystem::file_size(damaged));
        std::mt19937 random(11);
        for (int part = 1; part < 8; ++part) {
            file.seekp(size * part / 8);
            for (int i = 0; i < 600; ++i) file.put(static_cast<char>(random()));
        }
    }
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.AudioDisable = true;
    const int index = converter_.AddInput(damaged);
    ASSERT_EQ(index, 0) << converter_.LastError();
    ASSERT_TRUE(converter_.AddOutput(index, OutputPath("out.avi"), &options)) << converter_.LastError();
    converter_.StartJobs(1);
    ASSERT_TRUE(events_.WaitForAllDone());

    const std::vector<testing::LogEvent> lines = events_.LogsContaining("[h264 @");
    ASSERT_FALSE(lines.empty()) << "the damaged pictures are reported";
    for (const testing::LogEvent& line : lines) EXPECT_EQ(line.index, 0) << line.message;
}

}  // namespace
}  // namespace brenvale
