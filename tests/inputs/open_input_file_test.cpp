// What an opened input hands back to the pending settings and to the engine's tables.
#include <gtest/gtest.h>

#include <fstream>

#include "binding/media_api.h"
#include "input_fixture.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

using OpenInputTest = InputTest;

TEST_F(OpenInputTest, StreamPropertiesBecomeThePendingSettings) {
    engine_.apply_option("f", "mp4");
    // A name outside the locale's encoding travels through the project's own I/O.
    ASSERT_TRUE(engine_.open_input_file(CopyOfClip(clips::kMp4H264Aac, "vid\u00e9o \u65e5\u672c.mp4")))
        << engine_.last_error;
    EXPECT_EQ(engine_.input_format, nullptr);
    EXPECT_EQ(engine_.frame_width, 320);
    EXPECT_EQ(engine_.frame_height, 240);
    EXPECT_EQ(engine_.frame_pix_fmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(av_cmp_q(engine_.frame_rate, AVRational{25, 1}), 0);
    EXPECT_EQ(engine_.audio_sample_fmt, AV_SAMPLE_FMT_FLTP);
    EXPECT_EQ(engine_.channel_layout, AV_CH_LAYOUT_STEREO);
    ASSERT_EQ(engine_.input_decoders[0].size(), 2u);

    // Of several audio streams the last one wins.
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kMkvTwoAudioSubtitles))) << engine_.last_error;
    EXPECT_EQ(engine_.audio_sample_rate, 22050);
    EXPECT_EQ(engine_.audio_channels, 1);
    EXPECT_EQ(engine_.input_codec_count, 6);
}

TEST_F(OpenInputTest, FormatParametersReachTheDemuxer) {
    std::ofstream(PathOf("tone.raw"), std::ios::binary) << std::string(8000, '\0');
    engine_.apply_option("f", "s16le");
    engine_.apply_option("ar", "8000");
    engine_.apply_option("ac", "2");
    ASSERT_TRUE(engine_.open_input_file(PathOf("tone.raw"))) << engine_.last_error;
    EXPECT_EQ(engine_.audio_channels, 2);
    EXPECT_EQ(engine_.total_duration_ms, 250);  // 8000 bytes of 16-bit stereo at 8000 Hz
}

TEST_F(OpenInputTest, AspectComesFromTheSampleAspectAndTheSize) {
    const std::pair<std::string, float> cases[] = {{"0:0", 1.3333334f}, {"8:9", 1.1851852f}};
    for (const auto& [aspect, expected] : cases) {
        ASSERT_TRUE(engine_.open_input_file(WriteY4m(aspect + ".y4m", aspect, "25:1"))) << engine_.last_error;
        EXPECT_FLOAT_EQ(engine_.frame_aspect_ratio, expected) << aspect;
    }
}

TEST_F(OpenInputTest, ACodecRateUnlikeTheContainerRateIsReported) {
    const struct {
        std::string clip;
        int verbose;
        std::vector<std::string> messages;
    } cases[] = {
        {clips::kNtscRate, 1,
         {"Seems stream 0 codec frame rate differs from container frame rate: 59.94 (60000/1001) -> 29.97 (30000/1001)"}},
        {clips::kNtscRate, 0, {}},
        {clips::kAviMpeg4Mp3, 1, {}},  // codec 1/25, container 25/1
    };
    for (const auto& [clip, verbose, messages] : cases) {
        log_.clear();
        engine_.verbose = verbose;
        ASSERT_TRUE(engine_.open_input_file(TestClipPath(clip))) << engine_.last_error;
        EXPECT_EQ(LogMessages(), messages) << clip << " verbose " << verbose;
    }
}

TEST_F(OpenInputTest, TheFileStartOrTheSeekPositionBecomesTimeZero) {
    // mp3 starts at 25057 us (the encoder delay); WAV states no start.
    engine_.apply_option("itsoffset", "1");
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kMp3Audio)));
    EXPECT_EQ(engine_.input_ts_offsets[0], 1000000 - 25057);

    engine_.apply_option("ss", "0.5");
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kWavPcm)));
    EXPECT_EQ(engine_.start_time, 0);
    EXPECT_EQ(engine_.input_ts_offsets[1], 1000000 - 500000);
    AVPacket* packet = ff::av_packet_alloc();
    ASSERT_GE(ff::av_read_frame(engine_.input_files[1], packet), 0);
    EXPECT_EQ(packet->pts, 22050);  // samples at 44100 Hz
    ff::av_packet_free(&packet);

    engine_.apply_option("copyts", "");
    engine_.apply_option("ss", "0.5");
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kWavPcm)));
    EXPECT_EQ(engine_.input_ts_offsets[2], 1000000);
}

TEST_F(OpenInputTest, TheLongestKnownDurationIsTheTotal) {
    const std::pair<const char*, int> opens[] = {
        {clips::kOddSize, 1000}, {clips::kUnknownDuration, 1000}, {clips::kMp4H264Aac, 2000}, {clips::kOddSize, 2000}};
    for (const auto& [clip, expected_ms] : opens) {
        ASSERT_TRUE(engine_.open_input_file(TestClipPath(clip)));
        EXPECT_EQ(engine_.total_duration_ms, expected_ms) << clip;
    }
}

}  // namespace
}  // namespace brenvale::testing
