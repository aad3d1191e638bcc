// The DV targets from a 44.1 kHz source: the sound is resampled to 48 kHz and written sample by
// sample, and every DV frame must carry its full share of it.
#include <cmath>
#include <ostream>

#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

constexpr double kClipSeconds = 2.0;

struct DvCase {
    const char* target;
    int width;
    int height;
    AVPixelFormat pixel_format;
    AVRational rate;
};

std::ostream& operator<<(std::ostream& out, const DvCase& entry) { return out << entry.target; }

class DvConversionTest : public TranscodeTest, public ::testing::WithParamInterface<DvCase> {};

TEST_P(DvConversionTest, EveryFrameReadsBackWithItsSound) {
    const DvCase& entry = GetParam();
    const std::string output = PathOf("out.dv");
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), output, {{"target", entry.target}}));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    EXPECT_TRUE(outcome.finished) << outcome.exception_message;
    EXPECT_FALSE(outcome.Logged("Insufficient audio data"));

    int pictures = 0;
    int wrong_pictures = 0;
    const MediaReport report = ReadMedia(output, [&](int, const AVFrame& frame) {
        if (frame.nb_samples > 0) return;
        ++pictures;
        if (frame.width != entry.width || frame.height != entry.height || frame.format != entry.pixel_format)
            ++wrong_pictures;
    });
    ASSERT_TRUE(report.Opened());
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(wrong_pictures, 0);
    EXPECT_EQ(video[0].decode_errors, 0);
    EXPECT_EQ(audio[0].decode_errors, 0);
    const double frame_seconds = av_q2d(av_inv_q(entry.rate));
    EXPECT_NEAR(pictures * frame_seconds, kClipSeconds, 2 * frame_seconds);
    EXPECT_EQ(audio[0].sample_rate, 48000);
    // The sound of every frame, none missing: as long as the pictures.
    EXPECT_NEAR(static_cast<double>(audio[0].samples) / 48000, pictures * frame_seconds, frame_seconds);
}

INSTANTIATE_TEST_SUITE_P(Norms, DvConversionTest,
                         ::testing::Values(DvCase{"pal-dv", 720, 576, AV_PIX_FMT_YUV420P, {25, 1}},
                                           DvCase{"ntsc-dv", 720, 480, AV_PIX_FMT_YUV411P, {30000, 1001}}),
                         [](const auto& info) { return std::string(info.param.target[0] == 'p' ? "Pal" : "Ntsc"); });

}  // namespace
}  // namespace brenvale::testing
