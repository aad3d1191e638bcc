// Decoding on a thread of its own, ahead of the encoding, must change nothing but the speed: the
// outputs are the same bytes as when the run does one stage after the other, and the hooks see
// the same pictures at the same times (where the run ends before its input, a few more after
// them: the ones decoded ahead).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "engine/custom_ffmpeg.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"
#include "tools/modern_source_clips.h"
#include "tools/player_clips.h"
#include "tools/real_world_clips.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct AheadCase {
    const char* name;
    const char* clip;
    const char* extension;
    OptionList options;
    // Where the run ends in the input when it ends before it. Past it, the run in turn hooks the
    // pictures its decoder still held; the run ahead, those it decoded ahead.
    std::int64_t input_end_us = std::numeric_limits<std::int64_t>::max();
    const char* second_clip = nullptr;  // a further input, read ahead on a thread of its own
};

std::vector<std::int64_t> TimesBefore(const std::vector<std::int64_t>& times, std::int64_t end) {
    std::vector<std::int64_t> before;
    std::copy_if(times.begin(), times.end(), std::back_inserter(before), [end](std::int64_t t) { return t < end; });
    return before;
}

void PrintTo(const AheadCase& c, std::ostream* out) { *out << c.name; }

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct RunResult {
    std::string bytes;
    std::vector<std::int64_t> hooked_times;
    std::int32_t last_frame_number = 0;
};

class DecodeAheadTest : public TranscodeTest, public ::testing::WithParamInterface<AheadCase> {
protected:
    RunResult Convert(bool ahead, const std::string& name) {
        const AheadCase& c = GetParam();
        const std::string output = PathOf(name + c.extension);
        OptionList options = c.options;
        options.emplace_back("fflags", "+bitexact");  // no random identifiers in the files
        JobSpec setup = testing::Convert(TestClipPath(c.clip), output, options);
        if (c.second_clip) setup.further_inputs.push_back(TestClipPath(c.second_clip));
        RunResult run;
        const bool pictures_decoded = std::find(options.begin(), options.end(),
                                                std::pair<std::string, std::string>("vcodec", "copy")) == options.end();
        setup.before_start = [ahead, pictures_decoded, &run](TCustomFFmpeg& engine) {
            engine.decode_ahead = ahead;
            if (!pictures_decoded) return;
            engine.on_custom_hook = [&run](TCustomFFmpeg&, TBitmap&, std::int32_t, std::int64_t pts, bool&, bool&) {
                run.hooked_times.push_back(pts);
            };
        };
        const JobOutcome outcome = RunJob(setup);
        EXPECT_TRUE(outcome.finished) << outcome.exception_message;
        run.bytes = FileBytes(output);
        run.last_frame_number = outcome.last_frame_number;
        return run;
    }
};

TEST_P(DecodeAheadTest, OutputsAndHooksAreThoseOfStagesInTurn) {
    const RunResult in_turn = Convert(false, "in_turn");
    const RunResult ahead = Convert(true, "ahead");
    ASSERT_FALSE(in_turn.bytes.empty());
    EXPECT_TRUE(ahead.bytes == in_turn.bytes) << "sizes " << ahead.bytes.size() << " and " << in_turn.bytes.size();
    const std::int64_t end = GetParam().input_end_us;
    EXPECT_EQ(TimesBefore(ahead.hooked_times, end), TimesBefore(in_turn.hooked_times, end));
    EXPECT_EQ(ahead.last_frame_number, in_turn.last_frame_number);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, DecodeAheadTest,
    ::testing::Values(
        AheadCase{"BFramesIntoMpeg4", clips::kMkvBFrames, ".avi", {{"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}}},
        AheadCase{"TenBitIntoH264", clips::kH264TenBit, ".mp4", {{"vcodec", "libx264"}, {"acodec", "aac"}}},
        AheadCase{"MiddlePartIntoFlv",
                  clips::kLateSound,
                  ".flv",
                  {{"vcodec", "flv"}, {"acodec", "libmp3lame"}, {"ss", "0.7"}, {"t", "1.3"}},
                  2000000},
        AheadCase{"BFramesFirstSeconds",
                  clips::kMkvBFrames,
                  ".avi",
                  {{"vcodec", "mpeg4"}, {"acodec", "mp2"}, {"t", "1.5"}},
                  1500000},
        AheadCase{"ClockJumpsOfProgramStream", clips::kSparseKeysMpeg, ".mpg", {{"vcodec", "mpeg2video"}}},
        AheadCase{"SoundGapLouder", clips::kSoundGap, ".avi", {{"vcodec", "mpeg4"}, {"acodec", "mp2"}, {"vol", "512"}}},
        AheadCase{"SubtitlesAndTwoSoundTracks",
                  clips::kMkvTwoAudioSubtitles,
                  ".mkv",
                  {{"vcodec", "mpeg4"}, {"acodec", "copy"}, {"scodec", "copy"}}},
        AheadCase{"StreamCopy", clips::kMp4H264Aac, ".mkv", {{"vcodec", "copy"}, {"acodec", "copy"}}},
        AheadCase{"PicturesOfOneFileSoundOfAnother",
                  clips::kMkvBFrames,
                  ".avi",
                  {{"map", "0.0"}, {"map", "1.0"}, {"vcodec", "mpeg4"}, {"acodec", "libmp3lame"}},
                  std::numeric_limits<std::int64_t>::max(),
                  clips::kMp3Audio},
        AheadCase{"SoundAlone", clips::kMp3Audio, ".mp3", {{"acodec", "libmp3lame"}, {"ab", "96k"}}}),
    [](const ::testing::TestParamInfo<AheadCase>& info) { return std::string(info.param.name); });

// Where this process stands in the open file `path`, as the kernel has it; -1 when it is not open.
std::int64_t OpenFileOffset(const std::string& path) {
    const fs::path file = fs::canonical(path);
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error) != file) continue;
        std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
        std::string key;
        std::int64_t position = -1;
        if (info >> key >> position && key == "pos:") return position;
    }
    return -1;
}

// While the job's thread holds its first picture, the input is read further only ahead.
TEST_F(TranscodeTest, InputIsReadAheadWhileTheJobHoldsAPicture) {
    const std::string input = TestClipPath(clips::kRawPictures);
    const auto offset_at_first_picture = [&](bool ahead) {
        std::int64_t offset = -1;
        JobSpec setup = testing::Convert(input, PathOf(ahead ? "ahead.avi" : "in_turn.avi"), {{"vcodec", "mpeg4"}});
        setup.before_start = [ahead, &offset, &input](TCustomFFmpeg& engine) {
            engine.decode_ahead = ahead;
            engine.on_custom_hook = [&offset, &input](TCustomFFmpeg&, TBitmap&, std::int32_t, std::int64_t, bool&,
                                                      bool&) {
                if (offset >= 0) return;
                std::this_thread::sleep_for(300ms);  // time for a reader of its own
                offset = OpenFileOffset(input);
            };
        };
        EXPECT_TRUE(RunJob(setup).finished);
        return offset;
    };
    const std::int64_t in_turn = offset_at_first_picture(false);
    const std::int64_t ahead = offset_at_first_picture(true);
    ASSERT_GT(in_turn, 0);
    EXPECT_GT(ahead, in_turn + 4 * 320 * 240) << "a few raw pictures further";
}

}  // namespace
}  // namespace brenvale::testing
