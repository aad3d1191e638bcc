// Trims and stream copies of files shaped like real ones: both streams end at the asked time,
// copied streams start where the re-encoded ones do, B-frame video copies out of Matroska, and
// millisecond time bases neither escape the time limit nor make AVI's frame rate.
#include <algorithm>
#include <cstdint>
#include <ostream>

#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

struct TrimCase {
    const char* name;
    const char* source;
    const char* output;
    OptionList options;
    double seconds;  // the asked time, or the copy's whole length
};

std::ostream& operator<<(std::ostream& out, const TrimCase& entry) { return out << entry.name; }

// The length of one picture and of one audio frame of the streams read back.
double FrameSeconds(const StreamReport& stream) {
    if (stream.type == AVMEDIA_TYPE_VIDEO) return 1.0 / av_q2d(stream.frame_rate);
    return static_cast<double>(stream.samples) / static_cast<double>(stream.frames) / stream.sample_rate;
}

class TrimTest : public TranscodeTest, public ::testing::WithParamInterface<TrimCase> {};

TEST_P(TrimTest, BothStreamsEndAtTheAskedTime) {
    const TrimCase& c = GetParam();
    const std::string output = PathOf(c.output);
    const JobOutcome outcome = RunJob(Convert(TestClipPath(c.source), output, c.options));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const MediaReport report = ReadMedia(output);
    ASSERT_EQ(report.streams.size(), 2u);
    std::int64_t zero = report.streams[0].first_us;
    double tolerance = 0.001;  // one picture and one audio frame
    for (const StreamReport& stream : report.streams) {
        zero = std::min(zero, stream.first_us);
        tolerance += FrameSeconds(stream);
    }
    for (const StreamReport& stream : report.streams) {
        SCOPED_TRACE(stream.codec);
        EXPECT_EQ(stream.decode_errors, 0);
        EXPECT_NEAR(static_cast<double>(stream.end_us - zero) / 1e6, c.seconds, tolerance);
    }
}

const OptionList kMp4Encoding = {{"vcodec", "mpeg4"}, {"acodec", "aac"}};
const OptionList kFlvEncoding = {{"vcodec", "flv"}, {"acodec", "libmp3lame"}, {"ar", "44100"}};

OptionList With(OptionList options, const OptionList& more) {
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTest,
    ::testing::Values(TrimCase{"EncodedMp4", clips::kLateSound, "out.mp4", With(kMp4Encoding, {{"t", "3"}}), 3.0},
                      TrimCase{"EncodedFlv", clips::kLateSound, "out.flv", With(kFlvEncoding, {{"t", "3"}}), 3.0},
                      TrimCase{"EncodedFromTheMiddle", clips::kLateSound, "out.mp4",
                               With(kMp4Encoding, {{"ss", "0.7"}, {"t", "2"}}), 2.0},
                      TrimCase{"CopiedMillisecondClock", clips::kFlvMillisecond, "out.flv",
                               {{"vcodec", "copy"}, {"acodec", "copy"}, {"t", "2"}}, 2.0},
                      TrimCase{"CopiedFromTheMiddle", clips::kFlvMillisecond, "out.flv",
                               {{"vcodec", "copy"}, {"acodec", "copy"}, {"ss", "0.96"}, {"t", "2"}}, 2.0},
                      TrimCase{"CopiedIntoAvi", clips::kFlvMillisecond, "out.avi",
                               {{"vcodec", "copy"}, {"acodec", "copy"}}, 4.0}),
    [](const auto& info) { return std::string(info.param.name); });

// The AVI header states the pictures' rate, not the millisecond clock of the FLV they came from.
TEST_F(TranscodeTest, CopiedVideoKeepsItsFrameRateInAvi) {
    const std::string output = PathOf("copy.avi");
    ASSERT_TRUE(RunJob(Convert(TestClipPath(clips::kFlvMillisecond), output, {{"vcodec", "copy"}, {"an", "1"}}))
                    .finished);
    const auto video = ReadMedia(output).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].frame_rate.num, 25);
    EXPECT_EQ(video[0].frame_rate.den, 1);
    EXPECT_EQ(video[0].frames, mediagen::StandardClip(clips::kFlvMillisecond).video->frame_count);
}

// Matroska gives B-frame video presentation times only: the copy into MP4 must not send the muxer
// decode times that go back.
TEST_F(TranscodeTest, BFrameVideoCopiesFromMatroskaIntoMp4) {
    const std::string output = PathOf("copy.mp4");
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(clips::kMkvBFrames), output, {{"vcodec", "copy"}, {"acodec", "copy"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const auto video = ReadMedia(output).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].frames, mediagen::StandardClip(clips::kMkvBFrames).video->frame_count);
    EXPECT_EQ(video[0].decode_errors, 0);
}

// Copied pictures start from the first key picture after the start, and end with the sound.
TEST_F(TranscodeTest, CopiedAndEncodedStreamsCoverTheSameSpan) {
    const std::string output = PathOf("start.mp4");
    const JobOutcome outcome = RunJob(
        Convert(TestClipPath(clips::kMkvBFrames), output, {{"vcodec", "copy"}, {"acodec", "aac"}, {"ss", "1"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const MediaReport report = ReadMedia(output);
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    const double group_of_pictures = 12.0 / 25;
    EXPECT_NEAR(audio[0].first_us / 1e6, 0.0, 0.03);
    EXPECT_GE(video[0].first_us / 1e6, -0.04);
    EXPECT_LE(video[0].first_us / 1e6, group_of_pictures);
    EXPECT_NEAR(video[0].end_us / 1e6, 2.0, 0.05);
    EXPECT_NEAR(audio[0].end_us / 1e6, 2.0, 0.05);
}

}  // namespace
}  // namespace brenvale::testing
