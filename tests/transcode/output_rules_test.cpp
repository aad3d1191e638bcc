// Rules an output follows whatever the library's defaults: the video's rate options stay the
// video's, JPEG pictures get the range they need, a bitstream filter for another codec is a
// warning, image sequences need their number pattern and can loop.
#include <filesystem>
#include <ostream>

#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

struct RateCase {
    const char* name;
    const char* output;
    OptionList options;
    const char* audio_codec;
    std::int64_t audio_bit_rate;  // 0: any the encoder chose
};

std::ostream& operator<<(std::ostream& out, const RateCase& entry) { return out << entry.name; }

class VideoRateTest : public TranscodeTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(VideoRateTest, TheSoundKeepsItsOwnRate) {
    const RateCase& entry = GetParam();
    const std::string output = PathOf(entry.output);
    const JobOutcome outcome = RunJob(Convert(TestClipPath(clips::kMp4H264Aac), output, entry.options));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const MediaReport report = ReadMedia(output);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].codec, entry.audio_codec);
    EXPECT_EQ(audio[0].decode_errors, 0);
    EXPECT_GT(audio[0].samples, 0);
    if (entry.audio_bit_rate > 0) {
        EXPECT_EQ(audio[0].bit_rate, entry.audio_bit_rate);
    }
    EXPECT_EQ(report.StreamsOf(AVMEDIA_TYPE_VIDEO).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, VideoRateTest,
    ::testing::Values(RateCase{"VideoBitRateWithMp2Sound",
                               "out.avi",
                               {{"vcodec", "mpeg4"}, {"acodec", "mp2"}, {"b", "2000k"}, {"maxrate", "2500k"},
                                {"bufsize", "1000k"}},
                               "mp2",
                               0},
                      RateCase{"DvdTarget", "out.mpg", {{"target", "pal-dvd"}}, "ac3", 448000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TranscodeTest, MotionJpegFromALimitedRangeSourceGetsFullRangePictures) {
    const std::string output = PathOf("out.avi");
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(clips::kMp4H264Aac), output, {{"vcodec", "mjpeg"}, {"an", "1"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    int full_range = 0;
    const MediaReport report = ReadMedia(output, [&](int, const AVFrame& frame) {
        if (frame.format == AV_PIX_FMT_YUVJ420P) ++full_range;
    });
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].frames, 50);
    EXPECT_EQ(full_range, 50);
}

// A filter made for another codec passes the packets unfiltered; with "xerror" it ends the job.
TEST_F(TranscodeTest, ABitstreamFilterForAnotherCodecIsAWarning) {
    const std::string message = "h264_mp4toannexb failed for stream 0, codec mpeg4";
    const OptionList options = {{"vcodec", "mpeg4"}, {"an", "1"}, {"vbsf", "h264_mp4toannexb"}};
    const std::string output = PathOf("out.avi");
    const JobOutcome outcome = RunJob(Convert(TestClipPath(clips::kMp4H264Aac), output, options));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    EXPECT_TRUE(outcome.Logged("0: " + message));
    const auto video = ReadMedia(output).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].frames, 50);

    OptionList strict = options;
    strict.emplace_back("xerror", "1");
    const JobOutcome failed = RunJob(Convert(TestClipPath(clips::kMp4H264Aac), PathOf("strict.avi"), strict));
    EXPECT_FALSE(failed.finished);
    EXPECT_EQ(failed.exception_message.substr(0, message.size()), message);
}

std::int64_t PicturesOf(const std::string& path) {
    const auto video = ReadMedia(path).StreamsOf(AVMEDIA_TYPE_VIDEO);
    return video.size() == 1 ? video[0].frames : -1;
}

// Pictures written through a number pattern, or into one file with "update"; read back as a
// sequence, once or looping until the time limit.
TEST_F(TranscodeTest, ImageSequencesAreNumberedAndLoop) {
    const std::string clip = TestClipPath(clips::kMp4H264Aac);
    ASSERT_TRUE(RunJob(Convert(clip, PathOf("picture%d.jpg"), {{"vframes", "3"}})).finished);
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(std::filesystem::exists(PathOf("picture" + std::to_string(i) + ".jpg")));
    EXPECT_FALSE(std::filesystem::exists(PathOf("picture4.jpg")));

    ASSERT_TRUE(RunJob(Convert(clip, PathOf("poster.jpg"), {{"update", "1"}, {"vframes", "1"}})).finished);
    EXPECT_EQ(PicturesOf(PathOf("poster.jpg")), 1);

    const OptionList to_avi = {{"vcodec", "mpeg4"}, {"t", "2"}};
    JobSpec once = Convert(PathOf("picture%d.jpg"), PathOf("once.avi"), to_avi);
    ASSERT_TRUE(RunJob(once).finished);
    EXPECT_EQ(PicturesOf(PathOf("once.avi")), 3);

    JobSpec looping = Convert(PathOf("picture%d.jpg"), PathOf("looping.avi"), to_avi);
    looping.input_options = {{"loop_input", "1"}};
    ASSERT_TRUE(RunJob(looping).finished);
    EXPECT_EQ(PicturesOf(PathOf("looping.avi")), 50) << "two seconds at the sequence's 25 pictures a second";
}

}  // namespace
}  // namespace brenvale::testing
