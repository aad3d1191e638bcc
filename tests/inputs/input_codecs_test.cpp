// Codec lookup, forced decoders, discarded streams and the summary of the inputs.
#include <gtest/gtest.h>

#include "binding/media_api.h"
#include "input_fixture.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

using InputCodecsTest = InputTest;

TEST_F(InputCodecsTest, FindCodecNamesTheReasonOfAFailedLookup) {
    AVCodecID id = AV_CODEC_ID_NONE;
    EXPECT_TRUE(engine_.find_codec("aac", AVMEDIA_TYPE_AUDIO, true, id));
    EXPECT_EQ(id, AV_CODEC_ID_AAC);
    EXPECT_FALSE(engine_.find_codec("libx264", AVMEDIA_TYPE_AUDIO, true, id));
    EXPECT_EQ(engine_.last_error, "Invalid encoder type 'libx264'");
    EXPECT_FALSE(engine_.find_codec("nosuchcodec", AVMEDIA_TYPE_VIDEO, false, id));
    EXPECT_EQ(engine_.last_error, "Unknown decoder 'nosuchcodec'");
}

TEST_F(InputCodecsTest, ADecoderNameServesOneInputOnly) {
    engine_.apply_option("acodec", "aac_fixed");
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kMp4H264Aac))) << engine_.last_error;
    const AVCodec* fixed = ff::avcodec_find_decoder_by_name("aac_fixed");
    EXPECT_EQ(engine_.input_codecs[0], nullptr);
    EXPECT_EQ(engine_.input_codecs[1], fixed);
    EXPECT_EQ(engine_.input_decoders[0][1]->codec, fixed);

    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kMp4H264Aac)));
    EXPECT_EQ(engine_.input_codecs[3], nullptr);

    engine_.apply_option("acodec", "h264");
    EXPECT_FALSE(engine_.open_input_file(TestClipPath(clips::kMp4H264Aac)));
    EXPECT_EQ(engine_.last_error, "Invalid decoder type 'h264'");
}

TEST_F(InputCodecsTest, ForcedDecodersStayInStepWithStreamsAfterADataStream) {
    engine_.apply_option("acodec", "pcm_s16le");
    ASSERT_TRUE(engine_.open_input_file(WriteDataThenAudio("data.nut"))) << engine_.last_error;
    EXPECT_EQ(engine_.input_codec_count, 2);
    EXPECT_EQ(engine_.input_codecs[0], nullptr);
    EXPECT_EQ(engine_.input_codecs[1], ff::avcodec_find_decoder_by_name("pcm_s16le"));
}

TEST_F(InputCodecsTest, DisabledKindsAreDiscardedAndTheSummaryCoversEveryInput) {
    const auto kinds = [this] {
        const TCustomFFmpeg::TInputKinds found = engine_.check_audio_video_sub_inputs();
        return std::vector<bool>{found.has_video, found.has_audio, found.has_subtitle};
    };
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kWavPcm)));
    EXPECT_EQ(kinds(), (std::vector<bool>{false, true, false}));

    engine_.apply_option("vn", "");
    engine_.apply_option("sn", "");
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kMkvTwoAudioSubtitles)));
    AVStream* const* streams = engine_.input_files[1]->streams;
    EXPECT_EQ(streams[0]->discard, AVDISCARD_ALL);
    EXPECT_EQ(streams[1]->discard, AVDISCARD_DEFAULT);
    EXPECT_EQ(streams[3]->discard, AVDISCARD_ALL);
    EXPECT_EQ(kinds(), (std::vector<bool>{true, true, true}));
}

}  // namespace
}  // namespace brenvale::testing
