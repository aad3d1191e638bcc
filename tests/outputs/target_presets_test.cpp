#include <gtest/gtest.h>

#include <string>

#include "engine/ffmpeg_exception.h"
#include "output_test_fixture.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

std::string FailureOf(TCustomFFmpeg& engine, const std::string& type, const std::string& norm) {
    try {
        engine.apply_target(type, norm, "ntsc");
    } catch (const FFmpegException& error) {
        return error.what();
    }
    return "";
}

using TargetTest = OutputTest;

TEST_F(TargetTest, DvdFollowsTheInputsNtscRate) {
    OpenInput(clips::kNtscRate);
    engine_.apply_target("dvd", "auto", "ntsc");
    EXPECT_TRUE(Logged(1, "Assuming NTSC for target."));
    ASSERT_EQ(Open("disc.vob"), 1) << engine_.last_error;
    EXPECT_STREQ(Output(0)->oformat->name, "dvd");
    const AVCodecContext* video = Codec(0, 0);
    EXPECT_EQ(video->codec_id, AV_CODEC_ID_MPEG2VIDEO);
    EXPECT_EQ(std::make_pair(video->width, video->height), std::make_pair(720, 480));
    EXPECT_EQ(std::make_pair(video->time_base.num, video->time_base.den), std::make_pair(1001, 30000));
    EXPECT_EQ(video->gop_size, 18);
    EXPECT_EQ(video->rc_max_rate, 9000000);
    const AVCodecContext* audio = Codec(0, 1);
    EXPECT_EQ(audio->codec_id, AV_CODEC_ID_AC3);
    EXPECT_EQ(audio->bit_rate, 448000);
    EXPECT_EQ(audio->sample_rate, 48000);
    // Muxer settings, one of them private to the muxer.
    EXPECT_EQ(Output(0)->packet_size, 2048u);
    std::int64_t mux_rate = 0;
    ASSERT_GE(ff::av_opt_get_int(Output(0), "muxrate", AV_OPT_SEARCH_CHILDREN, &mux_rate), 0);
    EXPECT_EQ(mux_rate, 10080000);
}

TEST_F(TargetTest, GivenNormIsUsedWithoutDetection) {
    engine_.apply_target("vcd", "pal", "ntsc");
    EXPECT_FALSE(Logged(1, "Assuming PAL for target."));
    EXPECT_TRUE(Logged(1, "Assuming 4:3 for aspect ratio"));
    EXPECT_EQ(std::make_pair(engine_.frame_width, engine_.frame_height), std::make_pair(352, 288));
    EXPECT_EQ(std::make_pair(engine_.frame_rate.num, engine_.frame_rate.den), std::make_pair(25, 1));
    EXPECT_FLOAT_EQ(engine_.mux_preload, 0.44f);
}

TEST_F(TargetTest, NormOfTheInputsDecidesWhenTheRateDoesNot) {
    OpenInput(clips::kNtscRate);
    Apply({{"r", "10"}, {"aspect", "16:9"}});
    engine_.apply_target("svcd", "auto", "ntsc");
    EXPECT_TRUE(Logged(1, "Assuming NTSC for target."));
    EXPECT_EQ(std::make_pair(engine_.frame_width, engine_.frame_height), std::make_pair(480, 480));
    // An aspect ratio already set is kept.
    EXPECT_FALSE(Logged(1, "Assuming 4:3 for aspect ratio"));
    EXPECT_FLOAT_EQ(engine_.frame_aspect_ratio, 16.0f / 9.0f);
}

struct FallbackCase {
    std::string fallback;
    int height;
    AVRational rate;
    const char* message;
};

void PrintTo(const FallbackCase& test, std::ostream* out) { *out << test.fallback; }

class NormFallbackTest : public OutputTest, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(NormFallbackTest, UndecidedNormTakesTheFallback) {
    Apply({{"r", "10"}});
    engine_.apply_target("dvd", "auto", GetParam().fallback);
    EXPECT_EQ(engine_.frame_height, GetParam().height);
    EXPECT_EQ(std::make_pair(engine_.frame_rate.num, engine_.frame_rate.den),
              std::make_pair(GetParam().rate.num, GetParam().rate.den));
    EXPECT_TRUE(Logged(1, GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Norms, NormFallbackTest,
                         ::testing::Values(FallbackCase{"ntsc", 480, {30000, 1001}, "Assuming NTSC for target."},
                                           FallbackCase{"film", 480, {24000, 1001}, "Assuming NTSC for target."},
                                           FallbackCase{"secam", 576, {25, 1}, "Assuming PAL for target."}));

struct DvCase {
    std::string type;
    std::string norm;
    AVPixelFormat pixel_format;
    int height;
};

void PrintTo(const DvCase& test, std::ostream* out) { *out << test.norm << " " << test.type; }

class DvTargetTest : public OutputTest, public ::testing::WithParamInterface<DvCase> {};

TEST_P(DvTargetTest, DvPresetsChooseThePixelFormatAndOpenTheirEncoder) {
    OpenInput(clips::kMp4H264Aac);
    engine_.apply_target(GetParam().type, GetParam().norm, "ntsc");
    ASSERT_EQ(Open("tape.dv"), 1) << engine_.last_error;
    AVCodecContext* video = Codec(0, 0);
    EXPECT_EQ(video->codec_id, AV_CODEC_ID_DVVIDEO);
    EXPECT_EQ(video->height, GetParam().height);
    EXPECT_EQ(video->pix_fmt, GetParam().pixel_format);
    EXPECT_EQ(ff::avcodec_open2(video, nullptr, nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(Dv, DvTargetTest,
                         ::testing::Values(DvCase{"dv", "pal", AV_PIX_FMT_YUV420P, 576},
                                           DvCase{"dv", "film", AV_PIX_FMT_YUV411P, 480},
                                           DvCase{"dv50", "ntsc", AV_PIX_FMT_YUV422P, 480}));

// The preset's outputs are complete enough for their muxer: the header is written.
class TargetHeaderTest : public OutputTest, public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(TargetHeaderTest, EncodersOpenAndTheHeaderIsWritten) {
    OpenInput(clips::kMp4H264Aac);
    engine_.apply_target(GetParam().first, GetParam().second, "ntsc");
    ASSERT_EQ(Open("disc.mpg"), 1) << engine_.last_error;
    AVFormatContext* output = Output(0);
    for (unsigned i = 0; i < output->nb_streams; ++i) {
        AVCodecContext* codec = Codec(0, static_cast<int>(i));
        ASSERT_EQ(ff::avcodec_open2(codec, nullptr, nullptr), 0) << ff::avcodec_get_name(codec->codec_id);
        ASSERT_GE(ff::avcodec_parameters_from_context(output->streams[i]->codecpar, codec), 0);
        output->streams[i]->time_base = codec->time_base;
    }
    EXPECT_GE(ff::avformat_write_header(output, nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(Disc, TargetHeaderTest, ::testing::Values(std::make_pair<std::string, std::string>("vcd", "pal"),
                                                         std::make_pair<std::string, std::string>("svcd", "ntsc"),
                                                         std::make_pair<std::string, std::string>("dvd", "pal")));

TEST_F(TargetTest, SvcdMakesMonoStereoAndSetsTheScanOffset) {
    Apply({{"ac", "1"}});
    engine_.apply_target("svcd", "pal", "ntsc");
    EXPECT_EQ(engine_.audio_channels, 2);
    ASSERT_EQ(Open("disc.mpg"), 1) << engine_.last_error;
    std::int64_t scan_offset = 0;
    ASSERT_GE(ff::av_opt_get_int(Codec(0, 0), "scan_offset", AV_OPT_SEARCH_CHILDREN, &scan_offset), 0);
    EXPECT_EQ(scan_offset, 1);
}

TEST_F(TargetTest, FailuresOfThePreset) {
    EXPECT_EQ(FailureOf(engine_, "vcd", "auto"), "frame_rate is invalid.");
    EXPECT_EQ(FailureOf(engine_, "cdi", "pal"), "Unknown target type");
}

}  // namespace
}  // namespace brenvale::testing
