#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "engine/ffmpeg_exception.h"
#include "output_test_fixture.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

bool SameRational(AVRational a, AVRational b) { return a.num == b.num && a.den == b.den; }

using OutputStreamsTest = OutputTest;

struct RationalCase {
    Options options;
    AVRational expected;
};

void PrintTo(const RationalCase& test, std::ostream* out) { *out << DescribeOptions(test.options); }

class FrameRateTest : public OutputTest, public ::testing::WithParamInterface<RationalCase> {};

TEST_P(FrameRateTest, RateBecomesTheNearestTheEncoderSupports) {
    Apply(GetParam().options);
    ASSERT_EQ(Open("video.avi"), 1) << engine_.last_error;
    const AVRational time_base = Codec(0, 0)->time_base;
    EXPECT_TRUE(SameRational(time_base, GetParam().expected)) << time_base.num << "/" << time_base.den;
}

INSTANTIATE_TEST_SUITE_P(
    Rates, FrameRateTest,
    ::testing::Values(RationalCase{{{"vcodec", "mpeg1video"}, {"r", "29.97"}}, {1001, 30000}},
                      RationalCase{{{"vcodec", "mpeg1video"}, {"r", "29.97"}, {"force_fps", ""}}, {100, 2997}},
                      RationalCase{{{"vcodec", "mpeg4"}}, {1, 25}}));

class SampleAspectTest : public OutputTest, public ::testing::WithParamInterface<RationalCase> {};

TEST_P(SampleAspectTest, PixelShapeShowsTheDisplayAspect) {
    Apply(GetParam().options);
    ASSERT_EQ(Open("video.avi"), 1) << engine_.last_error;
    const AVRational shape = Codec(0, 0)->sample_aspect_ratio;
    EXPECT_TRUE(SameRational(shape, GetParam().expected)) << shape.num << ":" << shape.den;
    EXPECT_TRUE(SameRational(Output(0)->streams[0]->sample_aspect_ratio, GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SampleAspectTest,
    ::testing::Values(RationalCase{{{"s", "640x480"}, {"aspect", "4:3"}}, {1, 1}},
                      RationalCase{{{"s", "720x576"}, {"aspect", "16:9"}}, {64, 45}},
                      // The padded size is what is shown.
                      RationalCase{{{"s", "640x360"}, {"padtop", "60"}, {"padbottom", "60"}, {"aspect", "4:3"}}, {1, 1}},
                      RationalCase{{{"s", "720x576"}, {"aspect", "16:9"}, {"vcodec", "copy"}}, {64, 45}},
                      // Without a size, the shape of a 4:3 picture.
                      RationalCase{{{"aspect", "16:9"}}, {4, 3}}));

TEST_F(OutputStreamsTest, PictureAndQualitySettingsReachTheEncoder) {
    std::string matrix;
    for (int i = 1; i <= 64; ++i) matrix += std::to_string(i) + (i < 64 ? "," : "");
    Apply({{"s", "320x240"}, {"padleft", "16"}, {"padright", "16"}, {"padtop", "8"}, {"pix_fmt", "rgb24"},
           {"qscale", "5"}, {"pass", "2"}, {"dc", "10"}, {"bufsize", "1000"}, {"intra_matrix", matrix}});
    ASSERT_EQ(Open("video.avi"), 1) << engine_.last_error;
    const AVCodecContext* codec = Codec(0, 0);
    EXPECT_EQ(codec->width, 352);
    EXPECT_EQ(codec->height, 248);
    // mpeg4 takes no RGB: its first listed format is used.
    EXPECT_EQ(codec->pix_fmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(codec->flags & (AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_PASS2), AV_CODEC_FLAG_QSCALE | AV_CODEC_FLAG_PASS2);
    EXPECT_EQ(codec->global_quality, 5 * FF_QP2LAMBDA);
    EXPECT_EQ(codec->intra_dc_precision, 2);
    EXPECT_EQ(codec->rc_initial_buffer_occupancy, 750);
    // The encoder frees its own copy of the matrix.
    ASSERT_NE(codec->intra_matrix, nullptr);
    EXPECT_NE(codec->intra_matrix, engine_.intra_matrix);
    EXPECT_EQ(codec->intra_matrix[63], 64);
}

struct HeaderCase {
    std::string file;
    Options options;
    bool global;
    bool local;
};

void PrintTo(const HeaderCase& test, std::ostream* out) { *out << test.file << " " << DescribeOptions(test.options); }

class GlobalHeaderTest : public OutputTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(GlobalHeaderTest, HeadersFollowTheFormatUnlessChosen) {
    Apply(GetParam().options);
    ASSERT_EQ(Open(GetParam().file), 1) << engine_.last_error;
    const AVCodecContext* video = Codec(0, 0);
    EXPECT_EQ((video->flags & AV_CODEC_FLAG_GLOBAL_HEADER) != 0, GetParam().global);
    EXPECT_EQ((video->flags2 & AV_CODEC_FLAG2_LOCAL_HEADER) != 0, GetParam().local);
    // Audio follows the format alone.
    EXPECT_EQ((Codec(0, 1)->flags & AV_CODEC_FLAG_GLOBAL_HEADER) != 0, GetParam().file == "out.mp4");
}

INSTANTIATE_TEST_SUITE_P(Headers, GlobalHeaderTest,
                         ::testing::Values(HeaderCase{"out.mp4", {}, true, false},
                                           HeaderCase{"out.avi", {}, false, false},
                                           HeaderCase{"out.mp4", {{"vglobal", "2"}}, false, true},
                                           HeaderCase{"out.avi", {{"vglobal", "3"}}, true, true}));

TEST_F(OutputStreamsTest, RateControlOverridesAreParsed) {
    Apply({{"rc_override", "0,100,5/101,200,-50"}});
    ASSERT_EQ(Open("video.avi"), 1) << engine_.last_error;
    const AVCodecContext* codec = Codec(0, 0);
    ASSERT_EQ(codec->rc_override_count, 2);
    const RcOverride& first = codec->rc_override[0];
    const RcOverride& second = codec->rc_override[1];
    EXPECT_EQ(std::make_tuple(first.start_frame, first.end_frame, first.qscale), std::make_tuple(0, 100, 5));
    EXPECT_FLOAT_EQ(first.quality_factor, 1.0f);
    EXPECT_EQ(std::make_tuple(second.start_frame, second.end_frame, second.qscale), std::make_tuple(101, 200, 0));
    EXPECT_FLOAT_EQ(second.quality_factor, 0.5f);
}

class BadRateControlTest : public OutputTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BadRateControlTest, FailsTheVideoStream) {
    Apply({{"vcodec", "mpeg4"}, {"rc_override", GetParam()}});
    EXPECT_EQ(Open("video.avi"), -1);
    EXPECT_EQ(engine_.last_error, "new_video_stream fail: error parsing rc_override");
}

INSTANTIATE_TEST_SUITE_P(Texts, BadRateControlTest, ::testing::Values("0,100", "0,100,", "x,1,2", "0,100,5/7"));

struct EncoderCase {
    Options options;
    AVCodecID codec_id;
    const char* entry;  // the output_codecs entry's name; nullptr for none
    bool copied;
};

void PrintTo(const EncoderCase& test, std::ostream* out) { *out << DescribeOptions(test.options); }

class EncoderChoiceTest : public OutputTest, public ::testing::WithParamInterface<EncoderCase> {};

TEST_P(EncoderChoiceTest, NamedEncodersAreRecordedGuessedOnesAreNot) {
    Apply(GetParam().options);
    ASSERT_EQ(Open("video.avi"), 1) << engine_.last_error;
    EXPECT_EQ(Codec(0, 0)->codec_id, GetParam().codec_id);
    EXPECT_EQ(Setup(0, 0).stream_copy, GetParam().copied);
    const AVCodec* entry = engine_.output_codecs[0];
    EXPECT_STREQ(entry ? entry->name : nullptr, GetParam().entry);
    EXPECT_EQ(engine_.output_codec_count, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, EncoderChoiceTest,
    ::testing::Values(EncoderCase{{}, AV_CODEC_ID_MPEG4, nullptr, false},
                      EncoderCase{{{"vcodec", "mjpeg"}}, AV_CODEC_ID_MJPEG, "mjpeg", false},
                      EncoderCase{{{"vcodec", "copy"}}, AV_CODEC_ID_NONE, nullptr, true}));

// The input's stereo layout is pending; one channel asked for must not keep it.
TEST_F(OutputStreamsTest, AudioChannelsRateAndSampleFormat) {
    OpenInput(clips::kMp4H264Aac);
    Apply({{"ac", "1"}, {"ar", "22050"}, {"sample_fmt", "s16"}, {"acodec", "ac3"}});
    ASSERT_EQ(Open("audio.mkv"), 1) << engine_.last_error;
    const AVCodecContext* audio = Codec(0, 1);
    EXPECT_EQ(audio->ch_layout.nb_channels, 1);
    EXPECT_EQ(audio->sample_rate, 22050);
    EXPECT_TRUE(SameRational(audio->time_base, AVRational{1, 22050}));
    // ac3 takes planar floats only.
    EXPECT_EQ(audio->sample_fmt, AV_SAMPLE_FMT_FLTP);
}

// Streams added to an output later take their language and filters.
TEST_F(OutputStreamsTest, ExtraStreamsTakeLanguageAndBitstreamFilters) {
    OpenInput(clips::kMkvTwoAudioSubtitles);
    ASSERT_EQ(Open("multi.mkv"), 1) << engine_.last_error;
    const int first_extra = static_cast<int>(Output(0)->nb_streams);
    Apply({{"alang", "eng"}, {"absf", "null"}, {"acodec", "mp2"}});
    engine_.new_audio_stream(Output(0));
    Apply({{"slang", "fre"}, {"scodec", "copy"}});
    engine_.new_subtitle_stream(Output(0));

    ASSERT_EQ(Output(0)->nb_streams, static_cast<unsigned>(first_extra + 2));
    const AVStream* audio = Output(0)->streams[first_extra];
    EXPECT_STREQ(ff::av_dict_get(audio->metadata, "language", nullptr, 0)->value, "eng");
    EXPECT_EQ(Setup(0, first_extra).bitstream_filters.contexts().size(), 1u);
    EXPECT_TRUE(engine_.audio_bsf_chain.empty());
    const AVStream* subtitle = Output(0)->streams[first_extra + 1];
    EXPECT_STREQ(ff::av_dict_get(subtitle->metadata, "language", nullptr, 0)->value, "fre");
    EXPECT_TRUE(Setup(0, first_extra + 1).stream_copy);
    EXPECT_EQ(engine_.output_codec_count, first_extra + 2);
}

// A stream that cannot be made is not added, and the filters it did not take stay pending.
TEST_F(OutputStreamsTest, FailedExtraStreamLeavesTheOutputAsItWas) {
    ASSERT_EQ(Open("multi.mkv"), 1) << engine_.last_error;
    const unsigned streams_before = Output(0)->nb_streams;
    const std::int32_t codecs_before = engine_.output_codec_count;
    Apply({{"absf", "null"}, {"acodec", "nosuch"}});
    EXPECT_THROW(engine_.new_audio_stream(Output(0)), FFmpegException);
    EXPECT_EQ(Output(0)->nb_streams, streams_before);
    EXPECT_EQ(engine_.output_codec_count, codecs_before);
    EXPECT_EQ(Codec(0, static_cast<int>(streams_before)), nullptr);
    EXPECT_FALSE(engine_.audio_bsf_chain.empty());
}

TEST_F(OutputStreamsTest, AnOutputHoldsAtMostTwentyStreams) {
    ASSERT_EQ(Open("many.mkv"), 1) << engine_.last_error;
    while (Output(0)->nb_streams < MAX_STREAMS) engine_.new_audio_stream(Output(0));
    try {
        engine_.new_audio_stream(Output(0));
        FAIL() << "a 21st stream was added";
    } catch (const FFmpegException& error) {
        EXPECT_STREQ(error.what(), "Too many streams in one output file (at most 20)");
    }
    EXPECT_EQ(Output(0)->nb_streams, static_cast<unsigned>(MAX_STREAMS));
}

// What the streams describe is consistent enough for the real encoders to open with it.
class EncoderOpenTest : public OutputTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EncoderOpenTest, DescribedEncodersOpen) {
    OpenInput(clips::kMp4H264Aac);
    ASSERT_EQ(Open(GetParam()), 1) << engine_.last_error;
    ASSERT_GT(Output(0)->nb_streams, 0u);
    for (unsigned i = 0; i < Output(0)->nb_streams; ++i) {
        AVCodecContext* codec = Codec(0, static_cast<int>(i));
        EXPECT_EQ(ff::avcodec_open2(codec, nullptr, nullptr), 0) << ff::avcodec_get_name(codec->codec_id);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EncoderOpenTest, ::testing::Values("out.avi", "out.mp4", "out.flv", "out.mkv"));

}  // namespace
}  // namespace brenvale::testing
