#include <gtest/gtest.h>

#include <string>

#include "engine_fixture.h"

namespace brenvale::testing {
namespace {

constexpr int kVideoEncoding = AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM;
constexpr int kVideoDecoding = AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_DECODING_PARAM;
constexpr int kAudioEncoding = AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM;

class GenericOptionsTest : public EngineTest {
protected:
    void TearDown() override {
        ff::avcodec_free_context(&codec_);
        ff::avformat_free_context(format_);
        EngineTest::TearDown();
    }

    AVCodecContext* Encoder(const char* name) {
        const AVCodec* codec = ff::avcodec_find_encoder_by_name(name);
        if (!codec) return nullptr;
        ff::avcodec_free_context(&codec_);
        codec_ = ff::avcodec_alloc_context3(codec);
        return codec_;
    }

    AVCodecContext* Holder(AVMediaType type) {
        return engine_.option_context.codec_opts[static_cast<std::size_t>(type)];
    }

    std::string OptionText(void* object, const char* name) {
        std::uint8_t* text = nullptr;
        if (ff::av_opt_get(object, name, AV_OPT_SEARCH_CHILDREN, &text) < 0) return "<none>";
        std::string value(reinterpret_cast<char*>(text));
        ff::av_free(text);
        return value;
    }

    AVCodecContext* codec_ = nullptr;
    AVFormatContext* format_ = nullptr;
};

TEST_F(GenericOptionsTest, CodecOptionsAreRememberedAndReachEncodersWithTheRightFlags) {
    EXPECT_TRUE(engine_.set_generic_option("qmin", "7"));
    engine_.apply_option("qmax", "20");  // unknown to the table: generic
    EXPECT_EQ(engine_.option_context.opt_names, (std::vector<std::string>{"qmin", "qmax"}));
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->qmin, 7);
    EXPECT_EQ(Holder(AVMEDIA_TYPE_SUBTITLE)->qmin, Holder(AVMEDIA_TYPE_AUDIO)->qmin);  // video-only option

    AVCodecContext* encoder = Encoder("mpeg4");
    ASSERT_NE(encoder, nullptr);
    const int default_qmin = encoder->qmin;
    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_VIDEO), kVideoDecoding);
    EXPECT_EQ(encoder->qmin, default_qmin);  // encoding options are not for decoders
    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_VIDEO), kVideoEncoding);
    EXPECT_EQ(encoder->qmin, 7);
    EXPECT_EQ(encoder->qmax, 20);
}

// Today's library marks the rate options for audio too; they are the video's, as "ab" and
// "abufsize" are the sound's.
TEST_F(GenericOptionsTest, VideoRatesReachOnlyTheVideoHolderAndTypeLettersFallBack) {
    const std::int64_t audio_default = Holder(AVMEDIA_TYPE_AUDIO)->bit_rate;
    for (const char* name : {"b", "maxrate", "minrate", "bufsize"}) EXPECT_TRUE(engine_.set_generic_option(name, "64000"));
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->bit_rate, 64000);
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->rc_max_rate, 64000);
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->rc_buffer_size, 64000);
    EXPECT_EQ(Holder(AVMEDIA_TYPE_AUDIO)->bit_rate, audio_default);
    EXPECT_EQ(Holder(AVMEDIA_TYPE_AUDIO)->rc_max_rate, 0);

    // What the audio holder never got stays the encoder's own: mp2 chooses its rate itself.
    AVCodecContext* encoder = Encoder("mp2");
    ASSERT_NE(encoder, nullptr);
    const std::int64_t mp2_default = encoder->bit_rate;
    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_AUDIO), kAudioEncoding);
    EXPECT_EQ(encoder->bit_rate, mp2_default);
    EXPECT_EQ(encoder->rc_buffer_size, 0);

    EXPECT_TRUE(engine_.set_generic_option("vb", "300000"));
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->bit_rate, 300000);
    EXPECT_EQ(engine_.option_context.opt_names, (std::vector<std::string>{"b", "maxrate", "minrate", "bufsize"}));

    EXPECT_TRUE(engine_.set_generic_option("ab", "96000"));
    EXPECT_EQ(Holder(AVMEDIA_TYPE_AUDIO)->bit_rate, 96000);
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->bit_rate, 300000);
    EXPECT_TRUE(engine_.set_generic_option("vqmin", "3"));
    EXPECT_EQ(Holder(AVMEDIA_TYPE_VIDEO)->qmin, 3);

    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_AUDIO), kAudioEncoding);
    EXPECT_EQ(encoder->bit_rate, 96000);
    EXPECT_EQ(encoder->rc_max_rate, 0);
}

TEST_F(GenericOptionsTest, InvalidValuesGoToTheLibraryLogAndUnknownNamesAreSilent) {
    const struct {
        const char* name;
        const char* value;
        const char* library_line;  // nullptr: nothing logged
    } cases[] = {
        {"qmin", "abc", "Invalid value \"abc\" for option \"qmin\"\n"},
        {"flags", "+no_such_flag", "Invalid value \"+no_such_flag\" for option \"flags\"\n"},
        {"no_such_option", "1", nullptr},
        {"qmin", " ", nullptr},
        {" ", "1", nullptr},
        {"x", "1", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        library_log_lines.clear();
        EXPECT_FALSE(engine_.set_generic_option(c.name, c.value));
        EXPECT_NO_THROW(engine_.apply_option(c.name, c.value));
        if (c.library_line) {
            ASSERT_FALSE(library_log_lines.empty());
            EXPECT_EQ(library_log_lines.back(), c.library_line);
        } else {
            EXPECT_TRUE(library_log_lines.empty());
        }
    }
    EXPECT_TRUE(engine_.option_context.opt_names.empty());
    EXPECT_TRUE(log_.empty());
}

TEST_F(GenericOptionsTest, EncoderPrivateOptionsReachTheEncodersThatHaveThem) {
    AVCodecContext* encoder = Encoder("libx264");
    if (!encoder) GTEST_SKIP() << "no libx264 encoder in this build of the libraries";
    EXPECT_TRUE(engine_.set_generic_option("preset", "veryfast"));
    EXPECT_TRUE(engine_.set_generic_option("crf", "30"));
    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_VIDEO), kVideoEncoding);
    EXPECT_EQ(OptionText(encoder, "preset"), "veryfast");
    EXPECT_EQ(OptionText(encoder, "crf"), "30.000000");

    // An encoder without them is left alone, silently.
    library_log_lines.clear();
    AVCodecContext* other = Encoder("mpeg4");
    engine_.apply_generic_options(other, Holder(AVMEDIA_TYPE_VIDEO), kVideoEncoding);
    EXPECT_TRUE(library_log_lines.empty());
}

TEST_F(GenericOptionsTest, InvalidPrivateValuesAreReportedWhenTheyReachTheirTarget) {
    AVCodecContext* encoder = Encoder("mpeg2video");
    ASSERT_NE(encoder, nullptr);
    EXPECT_TRUE(engine_.set_generic_option("scan_offset", "maybe"));
    library_log_lines.clear();
    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_VIDEO), kVideoEncoding);
    ASSERT_FALSE(library_log_lines.empty());
    EXPECT_EQ(library_log_lines.back(), "Invalid value \"maybe\" for option \"scan_offset\"\n");

    EXPECT_TRUE(engine_.set_generic_option("scan_offset", "1"));
    engine_.apply_generic_options(encoder, Holder(AVMEDIA_TYPE_VIDEO), kVideoEncoding);
    EXPECT_EQ(OptionText(encoder, "scan_offset"), "true");
}

TEST_F(GenericOptionsTest, ContainerOptionsReachMuxersAndDemuxersByFlag) {
    EXPECT_TRUE(engine_.set_generic_option("muxrate", "2000000"));
    EXPECT_TRUE(engine_.set_generic_option("probesize", "12345"));
    ASSERT_GE(ff::avformat_alloc_output_context2(&format_, nullptr, "mpegts", nullptr), 0);
    engine_.apply_generic_options(format_, engine_.option_context.format_opts, AV_OPT_FLAG_ENCODING_PARAM);
    std::int64_t muxrate = 0;
    ASSERT_GE(ff::av_opt_get_int(format_, "muxrate", AV_OPT_SEARCH_CHILDREN, &muxrate), 0);
    EXPECT_EQ(muxrate, 2000000);
    EXPECT_NE(format_->probesize, 12345);  // a decoding option

    AVFormatContext* input = ff::avformat_alloc_context();
    engine_.apply_generic_options(input, engine_.option_context.format_opts, AV_OPT_FLAG_DECODING_PARAM);
    EXPECT_EQ(input->probesize, 12345);
    ff::avformat_free_context(input);
}

TEST_F(GenericOptionsTest, ScalerOptionsLiveOnTheScalerHolder) {
    EXPECT_TRUE(engine_.set_generic_option("sws_flags", "bilinear"));
    std::int64_t flags = 0;
    ASSERT_GE(ff::av_opt_get_int(engine_.option_context.sws_opts, "sws_flags", 0, &flags), 0);
    EXPECT_EQ(flags, SWS_BILINEAR);
    EXPECT_EQ(engine_.option_context.opt_names, std::vector<std::string>{"sws_flags"});
}

TEST_F(GenericOptionsTest, ADebugOptionRaisesTheVerbosityToDebug) {
    EXPECT_TRUE(engine_.set_generic_option("debug", "pict"));
    EXPECT_EQ(engine_.verbose, 2);
    EXPECT_EQ(ff::av_log_get_level(), AV_LOG_DEBUG);
    ff::av_log_set_level(AV_LOG_INFO);
}

TEST_F(GenericOptionsTest, WithoutHoldersNothingIsSet) {
    engine_.release_job();
    EXPECT_FALSE(engine_.set_generic_option("qmin", "7"));
    EXPECT_NO_THROW(engine_.apply_option("b", "128"));
    EXPECT_TRUE(log_.empty());
}

}  // namespace
}  // namespace brenvale::testing
