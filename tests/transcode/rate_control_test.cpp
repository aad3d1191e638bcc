// The libraries' rate control: a second pass it cannot start and crossed quantiser limits are
// refused with their reason instead of ending the process, and every bit rate the check lets
// through opens the real encoder cleanly (in a child process: a double free there must not end
// this one).
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <cstdlib>
#include <ostream>

#include "binding/media_api.h"
#include "engine/rate_control_check.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

struct EncoderCase {
    const char* encoder;
    const char* extension;
};

std::ostream& operator<<(std::ostream& out, const EncoderCase& entry) { return out << entry.encoder; }

// The context leaves its statistics to its owner.
struct SecondPassDeleter {
    void operator()(AVCodecContext* context) const {
        ff::av_freep(&context->stats_in);
        ff::avcodec_free_context(&context);
    }
};
using SecondPassPtr = std::unique_ptr<AVCodecContext, SecondPassDeleter>;

// The encoder of the second pass as the job sets it up, for the costly clip.
SecondPassPtr SecondPassEncoder(const AVCodec& codec, const std::string& statistics, std::int64_t bit_rate) {
    const mediagen::VideoSpec& clip = *mediagen::StandardClip(mediagen::clips::kCostlyPictures).video;
    SecondPassPtr encoder(ff::avcodec_alloc_context3(&codec));
    encoder->width = clip.width;
    encoder->height = clip.height;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->framerate = AVRational{clip.frame_rate.num, clip.frame_rate.den};
    encoder->time_base = av_inv_q(encoder->framerate);
    encoder->flags |= AV_CODEC_FLAG_PASS2;
    encoder->stats_in = ff::av_strdup(statistics.c_str());
    encoder->bit_rate = bit_rate;
    return encoder;
}

class RateControlTest : public TranscodeTest, public ::testing::WithParamInterface<EncoderCase> {
protected:
    // The first pass's statistics of the costly clip at a low bit rate.
    std::string FirstPass() {
        const EncoderCase& c = GetParam();
        const JobOutcome outcome =
            RunJob(Convert(TestClipPath(mediagen::clips::kCostlyPictures), PathOf(std::string("pass1.") + c.extension),
                           {{"vcodec", c.encoder}, {"vb", "384000"}, {"pass", "1"}, {"passlogfile", PathOf("stats")}}));
        EXPECT_TRUE(outcome.finished) << outcome.exception_message;
        std::ifstream file(PathOf("stats-0.log"));
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
};

TEST_P(RateControlTest, TooLowARateFailsTheJobWithItsReason) {
    const EncoderCase& c = GetParam();
    ASSERT_FALSE(FirstPass().empty());
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kCostlyPictures), PathOf(std::string("pass2.") + c.extension),
                       {{"vcodec", c.encoder}, {"vb", "384000"}, {"pass", "2"}, {"passlogfile", PathOf("stats")}}));
    ASSERT_TRUE(outcome.opened);
    EXPECT_FALSE(outcome.finished);
    EXPECT_NE(outcome.exception_message.find("The second pass cannot reach 384 kbit/s"), std::string::npos)
        << outcome.exception_message;
}

TEST_P(RateControlTest, TheLeastRateLetThroughOpensTheEncoder) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string statistics = FirstPass();
    const AVCodec* codec = ff::avcodec_find_encoder_by_name(GetParam().encoder);
    ASSERT_TRUE(codec);
    const double least = second_pass_least_bit_rate(*codec, *SecondPassEncoder(*codec, statistics, 0));
    ASSERT_GT(least, 384000);
    EXPECT_TRUE(rate_control_refusal(*codec, *SecondPassEncoder(*codec, statistics, std::llround(least) - 1000)));
    const std::int64_t let_through = std::llround(std::ceil(least));
    EXPECT_FALSE(rate_control_refusal(*codec, *SecondPassEncoder(*codec, statistics, let_through)));
    // A double free aborts the child; it ends at once otherwise, leaving the leak check out.
    EXPECT_EXIT(
        {
            SecondPassPtr encoder = SecondPassEncoder(*codec, statistics, let_through);
            std::_Exit(ff::avcodec_open2(encoder.get(), codec, nullptr) < 0 ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// Quantiser limits the wrong way round fail an assertion inside the library: refused too.
TEST_P(RateControlTest, CrossedQuantiserLimitsFailTheJob) {
    const EncoderCase& c = GetParam();
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kCostlyPictures), PathOf(std::string("out.") + c.extension),
                       {{"vcodec", c.encoder}, {"lmin", "300"}, {"lmax", "200"}}));
    ASSERT_TRUE(outcome.opened);
    EXPECT_NE(outcome.exception_message.find("The smallest quantiser (lmin) is above the largest (lmax)"),
              std::string::npos)
        << outcome.exception_message;
}

INSTANTIATE_TEST_SUITE_P(Encoders, RateControlTest,
                         ::testing::Values(EncoderCase{"mpeg4", "avi"}, EncoderCase{"flv", "flv"},
                                           EncoderCase{"wmv2", "wmv"}, EncoderCase{"mpeg1video", "mpg"},
                                           EncoderCase{"mpeg2video", "mpg"}),
                         [](const auto& info) { return std::string(info.param.encoder); });

}  // namespace
}  // namespace brenvale::testing
