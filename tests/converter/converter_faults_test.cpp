// Faults while a job runs: a full disk, its output folder or its input removed, a stop at any
// moment. Each job ends with the outcome that matches what is on disk, and what is left of an
// output decodes up to where it was cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/main_thread.h"
#include "converter_fixture.h"
#include "tests/support/bad_inputs.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/media_generator.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
namespace clips = mediagen::clips;
using testing::ConverterTest;
using testing::TerminateEvent;
using testing::TestClipPath;

class ConverterFaultsTest : public ConverterTest {
protected:
    // A two-second conversion of the H.264 clip, read at its own rate so that faults land mid-run.
    int AddSlowJob(const std::string& input, const std::string& output) {
        TInputOptions slow;
        slow.ExtOptions = "re=1";
        const int index = converter_.AddInput(input, &slow);
        EXPECT_EQ(index, 0) << converter_.LastError();
        TOutputOptions options;
        options.VideoCodec = "mpeg4";
        options.AudioCodec = "mp2";
        EXPECT_TRUE(converter_.AddOutput(index, output, &options)) << converter_.LastError();
        return index;
    }
    // Runs `fault` on the job's thread at its first progress report, then waits for the end.
    TerminateEvent RunWithFault(const std::function<void()>& fault) {
        std::atomic<bool> done{false};
        converter_.SetOnProgress([&](int, int, int, int, float, float, std::int64_t, int) {
            if (!done.exchange(true)) fault();
        });
        converter_.SetProgressInterval(100);
        converter_.StartJobs(1);
        EXPECT_TRUE(events_.WaitForAllDone());
        EXPECT_TRUE(done);
        const std::vector<TerminateEvent> ends = events_.Terminations();
        EXPECT_EQ(ends.size(), 2u);
        return ends.empty() ? TerminateEvent{} : ends.front();
    }
};

TEST_F(ConverterFaultsTest, AFullDiskEndsTheJobWithTheWriteError) {
    const std::string output = OutputPath("full.avi");
    const std::string full = testing::FullDevice(folder_.string());
    if (full.empty()) GTEST_SKIP() << "no device here refuses writes as a full disk";
    fs::create_symlink(full, output);
    ASSERT_EQ(AddJob(clips::kMp4H264Aac, "full.avi"), 0);
    converter_.StartJobs(0);
    const std::vector<TerminateEvent> ends = events_.Terminations();
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_FALSE(ends[0].finished);
    EXPECT_TRUE(ends[0].exception);
    EXPECT_NE(ends[0].message.find("No space left on device"), std::string::npos) << ends[0].message;
    EXPECT_TRUE(fs::is_symlink(output)) << "the link, not a file, is what the job found there";
}

TEST_F(ConverterFaultsTest, RemovingTheOutputFolderMidRunFailsTheJob) {
    const fs::path folder = folder_ / "out";
    fs::create_directories(folder);
    const std::string output = (folder / "out.avi").string();
    ASSERT_EQ(AddSlowJob(TestClipPath(clips::kMp4H264Aac), output), 0);
    const TerminateEvent end = RunWithFault([&] { fs::remove_all(folder); });
    EXPECT_FALSE(end.finished) << "nothing is left of the conversion";
    EXPECT_TRUE(end.exception);
    EXPECT_NE(end.message.find(output), std::string::npos) << end.message;
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(ConverterFaultsTest, RemovingTheInputMidRunStillConvertsAllOfIt) {
    // The job holds the file open, and an open file stays readable after its name is gone.
    const std::string input = OutputPath("input.mp4");
    fs::copy_file(TestClipPath(clips::kMp4H264Aac), input);
    ASSERT_EQ(AddSlowJob(input, OutputPath("out.avi")), 0);
    const TerminateEvent end = RunWithFault([&] { fs::remove(input); });
    EXPECT_TRUE(end.finished) << end.message;
    EXPECT_FALSE(end.exception);
    const auto video = testing::ReadMedia(OutputPath("out.avi")).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].frames, 50);
}

struct OutputKind {
    const char* extension;
    const char* video_codec;
    const char* audio_codec;
};

// One second of a small picture with sound, quick enough for a hundred runs.
std::string WriteShortClip(const fs::path& folder) {
    mediagen::ClipDescription clip;
    clip.name = "short";
    clip.format = "avi";
    clip.video = mediagen::VideoSpec{"mpeg4", 96, 64, {25, 1}, 25, "yuv420p"};
    clip.audio = {mediagen::AudioSpec{"libmp3lame", 22050, 1, 22050, 440}};
    const std::string path = (folder / "short.avi").string();
    mediagen::Generate(clip, path);
    return path;
}

class ConverterStopTest : public ConverterTest {
protected:
    // Converts the input, stopping the job `stop_after` after the start (never when negative);
    // how the job ended.
    TerminateEvent Convert(const std::string& input, const std::string& output, const OutputKind& kind,
                           std::chrono::microseconds stop_after) {
        TOutputOptions options;
        options.VideoCodec = kind.video_codec;
        options.AudioCodec = kind.audio_codec;
        const int index = converter_.AddInput(input);
        EXPECT_EQ(index, 0) << converter_.LastError();
        EXPECT_TRUE(converter_.AddOutput(index, output, &options)) << converter_.LastError();
        const std::size_t before = events_.Terminations().size();
        converter_.StartJobs(1);
        if (stop_after.count() >= 0) {
            std::this_thread::sleep_for(stop_after);
            converter_.StopJobs();
        }
        const bool ended = WaitServingMainThread([&] { return events_.Terminations().size() >= before + 2; }, 60s);
        converter_.ClearJobs();
        const std::vector<TerminateEvent> ends = events_.Terminations();
        EXPECT_TRUE(ended);
        EXPECT_EQ(ends.size(), before + 2) << "one end for the job, then the all-done notification";
        if (ends.size() < before + 2) return {};
        EXPECT_EQ(ends[before + 1].index, -1);
        return ends[before];
    }
};

TEST_F(ConverterStopTest, AStopAtAnyMomentLeavesADecodableOutputOrNone) {
    const std::string input = WriteShortClip(folder_);
    const OutputKind kinds[] = {
        {".avi", "mpeg4", "mp2"}, {".mp4", "mpeg4", "aac"}, {".flv", "flv", "libmp3lame"}, {".mpg", "mpeg1video", "mp2"}};
    // What a whole run of each kind writes, and how long the longest takes.
    std::vector<std::int64_t> whole_pictures;
    auto longest = std::chrono::microseconds(0);
    for (const OutputKind& kind : kinds) {
        const std::string output = OutputPath(std::string("whole") + kind.extension);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(Convert(input, output, kind, std::chrono::microseconds(-1)).finished);
        longest = std::max(longest, std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now() - start));
        const auto video = testing::ReadMedia(output).StreamsOf(AVMEDIA_TYPE_VIDEO);
        ASSERT_EQ(video.size(), 1u) << output;
        whole_pictures.push_back(video[0].frames);
    }
    // Stops from before the start to past the end of a run.
    std::mt19937 random(20261209);
    std::uniform_int_distribution<std::int64_t> delay_us(0, longest.count() * 6 / 5);
    int done = 0;
    int aborted = 0;
    int removed = 0;
    constexpr int kRuns = 100;
    for (int run = 0; run < kRuns; ++run) {
        const std::size_t kind = static_cast<std::size_t>(run) % std::size(kinds);
        const std::string output = OutputPath("stop" + std::to_string(run) + kinds[kind].extension);
        const std::chrono::microseconds stop_after(delay_us(random));
        SCOPED_TRACE(output + " stopped after " + std::to_string(stop_after.count()) + " us");
        const TerminateEvent end = Convert(input, output, kinds[kind], stop_after);
        EXPECT_FALSE(end.exception) << end.message;
        if (!fs::exists(output)) {
            EXPECT_FALSE(end.finished) << "a finished job leaves its output";
            ++removed;
            continue;
        }
        EXPECT_GT(fs::file_size(output), 0u) << "an empty output is removed";
        const testing::MediaReport report = testing::ReadMedia(output);
        ASSERT_TRUE(report.Opened());
        for (const testing::StreamReport& stream : report.streams) EXPECT_EQ(stream.decode_errors, 0);
        const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
        ASSERT_LE(video.size(), 1u);
        // FLV declares its streams with their first packets: a cut before them leaves none.
        const std::int64_t pictures = video.empty() ? 0 : video[0].frames;
        if (end.finished) {
            EXPECT_EQ(pictures, whole_pictures[kind]);
            ++done;
        } else {
            EXPECT_LE(pictures, whole_pictures[kind]);
            ++aborted;
        }
        fs::remove(output);
    }
    std::printf("%d stops within %lld us: %d ended first (Done), %d stopped with a decodable output (Abort), "
                "%d stopped before writing anything (Abort, no output)\n",
                kRuns, static_cast<long long>(longest.count() * 6 / 5), done, aborted, removed);
}

}  // namespace
}  // namespace brenvale
