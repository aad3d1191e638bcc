// brenvale-cli over files shaped like those of phones, cameras and screen recorders: every
// catalogue format keeps the sound with the picture, every video output carries the picture its
// players expect, a second pass the encoder cannot start fails its file alone, and option lines
// either count or are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli_convert_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/sync_marks.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace clips = mediagen::clips;
using testing::CliResult;
using testing::ReadMedia;
using testing::StreamReport;
using testing::TestClipPath;

constexpr std::int64_t kSyncToleranceUs = 60000;

struct SyncCase {
    const char* format;
    const char* extension;
};

void PrintTo(const SyncCase& format, std::ostream* out) { *out << format.format; }

class CliSyncTest : public CliConvertTest, public ::testing::WithParamInterface<SyncCase> {};

// Sound that starts late, sound that starts before the pictures (at 29.97 pictures a second) and
// sound with a gap (at 15): each burst of tone at its second of the pictures' clock.
TEST_P(CliSyncTest, SoundStaysWithThePictureFromFirstToLastSecond) {
    const SyncCase& format = GetParam();
    const char* const sources[] = {clips::kLateSound, clips::kEarlySound, clips::kSoundGap};
    std::vector<std::string> arguments = {"--format", format.format, "--jobs", "2"};
    for (const char* source : sources) arguments.push_back(TestClipPath(source));
    const CliResult result = Convert(arguments);
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        const testing::MarkTimes marks = testing::ReadMarks(Out(source + std::string(format.extension)));
        const std::vector<std::int64_t> offsets =
            testing::SoundOffsets(marks, *mediagen::StandardClip(source).video);
        EXPECT_GE(offsets.size(), 3u) << "bursts with pictures around them";
        for (const std::int64_t offset : offsets) EXPECT_LE(std::llabs(offset), kSyncToleranceUs);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, CliSyncTest,
                         ::testing::Values(SyncCase{"swf", ".swf"}, SyncCase{"flv", ".flv"}, SyncCase{"avi", ".avi"},
                                           SyncCase{"divx", ".avi"}, SyncCase{"mp4", ".mp4"},
                                           SyncCase{"mpeg1", ".mpg"}, SyncCase{"mpeg2", ".mpg"},
                                           SyncCase{"mov", ".mov"}, SyncCase{"wmv", ".wmv"}),
                         [](const auto& info) { return std::string(info.param.format); });

// Without pictures, a late start still keeps its silence: the bursts stay at their seconds.
TEST_F(CliConvertTest, SoundAloneKeepsItsLateStart) {
    ASSERT_EQ(Convert({"--format", "mp3", TestClipPath(clips::kLateSound)}).exit_status, 0);
    const std::vector<std::int64_t> bursts = testing::ReadMarks(Out("late_sound.mp3")).sound_us;
    ASSERT_EQ(bursts.size(), 4u);
    for (std::size_t i = 0; i < bursts.size(); ++i)
        EXPECT_NEAR(static_cast<double>(bursts[i]), 1e6 * static_cast<double>(i + 1), kSyncToleranceUs);
}

int MaxLuma(const AVFrame& frame) {
    int largest = 0;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* row = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
        largest = std::max(largest, static_cast<int>(*std::max_element(row, row + frame.width)));
    }
    return largest;
}

// 10-bit, 4:4:4, 4:2:2, RGB, full range and odd sizes all become 8-bit 4:2:0 of even size.
TEST_F(CliConvertTest, EveryPictureFormatBecomesWhatPlayersPlay) {
    const char* const sources[] = {clips::kH264TenBit,  clips::kH264FullChroma, clips::kH264HalfChroma,
                                   clips::kH264Rgb,     clips::kH264FullRange,  clips::kOddSize};
    std::vector<std::string> arguments = {"--format", "mp4", "--video-codec", "h264", "--jobs", "2"};
    for (const char* source : sources) arguments.push_back(TestClipPath(source));
    const CliResult result = Convert(arguments);
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        int brightest = 0;
        const auto video = ReadMedia(Out(source + std::string(".mp4")), [&brightest](int, const AVFrame& frame) {
                               if (frame.width > 0 && brightest == 0) brightest = MaxLuma(frame);
                           }).StreamsOf(AVMEDIA_TYPE_VIDEO);
        ASSERT_EQ(video.size(), 1u);
        const mediagen::VideoSpec& described = *mediagen::StandardClip(source).video;
        EXPECT_EQ(video[0].pixel_format, "yuv420p");
        EXPECT_NE(video[0].color_range, AVCOL_RANGE_JPEG);
        EXPECT_EQ(video[0].width, described.width / 2 * 2);
        EXPECT_EQ(video[0].height, described.height / 2 * 2);
        EXPECT_EQ(video[0].frames, described.frame_count);
        EXPECT_EQ(video[0].decode_errors, 0);
        // The pattern's white box (235) reads as full range in the full-range source: limited
        // range makes it 16 + 235 * 219 / 255.
        if (std::string(source) == clips::kH264FullRange) {
            EXPECT_NEAR(brightest, 218, 6);
        }
    }
}

// The encoder's rate control would free twice and end the process; the job fails, and the next
// files are converted: one whose pictures do not match the statistics fails too, sound alone
// needs none.
TEST_F(CliConvertTest, ASecondPassThatCannotReachItsRateFailsItsFileAlone) {
    const std::string costly = TestClipPath(clips::kCostlyPictures);
    const std::string simple = TestClipPath(clips::kOddSize);
    const std::string sound = TestClipPath(clips::kWavPcm);
    ASSERT_EQ(Convert({"--format", "mp4", "--video-bitrate", "384", "--option", "pass=1", costly}).exit_status, 0);
    const CliResult second = Convert({"--format", "mp4", "--video-bitrate", "384", "--option", "pass=2", "--overwrite",
                                      costly, simple, sound});
    EXPECT_EQ(second.exit_status, 1) << second.errors;
    EXPECT_NE(second.out.find("Fail: " + costly + ": Error while opening codec for output stream #0.0 - The second "
                              "pass cannot reach 384 kbit/s"),
              std::string::npos)
        << second.out;
    EXPECT_NE(second.out.find("Fail: " + simple + ": "), std::string::npos) << "its statistics are the other file's";
    EXPECT_NE(second.out.find("Done: " + sound + " -> "), std::string::npos) << second.out;
    const auto sound_streams = ReadMedia(Out(std::string(clips::kWavPcm) + ".mp4")).StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(sound_streams.size(), 1u);
    EXPECT_EQ(sound_streams[0].decode_errors, 0);
    EXPECT_GT(sound_streams[0].samples, 0);
    const CliResult reachable = Convert({"--format", "mp4", "--video-bitrate", "2500", "--option", "pass=2",
                                         "--overwrite", costly});
    EXPECT_EQ(reachable.exit_status, 0) << reachable.out << reachable.errors;
}

// Lines for the record's own fields count: no sound, one second, full chroma.
TEST_F(CliConvertTest, OptionLinesForTheRecordsFieldsTakeEffect) {
    const CliResult result = Convert({"--format", "mp4", "--video-codec", "h264", "--option", "an=1", "--option",
                                      "t=1", "--option", "pix_fmt=yuv444p", TestClipPath(clips::kLateSound)});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    const testing::MediaReport report = ReadMedia(Out("late_sound.mp4"));
    EXPECT_TRUE(report.StreamsOf(AVMEDIA_TYPE_AUDIO).empty());
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].frames, 25);
    EXPECT_EQ(video[0].pixel_format, "yuv444p");
}

}  // namespace
}  // namespace brenvale
