// The sample handling of the audio path: volume, the 16-bit conversion of decoded frames, the
// resampler and the filling of planar encoder frames.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "engine/audio_samples.h"

namespace brenvale {
namespace {

class AudioPathTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError(); }
    void TearDown() override { Loader().UnloadLibrarySet(kConverterLibraries); }

    static FramePtr StereoFrame(AVSampleFormat format, int samples, int rate) {
        FramePtr frame = allocate_frame();
        frame->format = format;
        frame->nb_samples = samples;
        frame->sample_rate = rate;
        ff::av_channel_layout_default(&frame->ch_layout, 2);
        EXPECT_GE(ff::av_frame_get_buffer(frame.get(), 0), 0);
        return frame;
    }
};

TEST(VolumeTest, ScalesRoundsAndClamps) {
    std::int16_t loud[] = {20000, -20000, 100};
    apply_volume(loud, 3, 512);
    EXPECT_EQ(loud[0], 32767);
    EXPECT_EQ(loud[1], -32768);
    EXPECT_EQ(loud[2], 200);
    std::int16_t quiet[] = {-3, 1000};
    apply_volume(quiet, 2, 128);
    EXPECT_EQ(quiet[0], -1);
    EXPECT_EQ(quiet[1], 500);
}

TEST_F(AudioPathTest, PlanarFloatFramesBecomeInterleaved16Bit) {
    FramePtr frame = StereoFrame(AV_SAMPLE_FMT_FLTP, 4, 44100);
    const float left[] = {0.5f, -0.5f, 0.0f, 1.0f};
    const float right[] = {0.25f, 0.0f, -1.0f, 0.0f};
    std::memcpy(frame->data[0], left, sizeof left);
    std::memcpy(frame->data[1], right, sizeof right);
    TS16Converter converter;
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(converter.convert(*frame, bytes), 16);
    const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
    EXPECT_NEAR(samples[0], 16384, 1);
    EXPECT_NEAR(samples[1], 8192, 1);
    EXPECT_NEAR(samples[2], -16384, 1);
    EXPECT_EQ(samples[5], -32768);
}

TEST_F(AudioPathTest, ResamplerConvertsRateAndFormat) {
    TAudioFormat output;
    output.format = AV_SAMPLE_FMT_FLTP;
    output.sample_rate = 48000;
    ff::av_channel_layout_default(&output.layout, 2);
    TAudioResampler resampler;
    ASSERT_TRUE(resampler.open(44100, 2, output));
    EXPECT_TRUE(resampler.accepts(44100, 2));
    EXPECT_FALSE(resampler.accepts(48000, 2));
    const std::vector<std::int16_t> input(2 * 44100, 1000);
    std::vector<std::uint8_t> out;
    int total = 0;
    for (int second = 0; second < 2; ++second) {
        const int converted = resampler.convert(reinterpret_cast<const std::uint8_t*>(input.data()), 22050, out);
        ASSERT_GE(converted, 0);
        EXPECT_EQ(out.size(), static_cast<std::size_t>(converted) * 2 * sizeof(float));
        total += converted;
    }
    EXPECT_NEAR(total, 48000, 64);
}

TEST_F(AudioPathTest, PlanarFramesAreFilledFromInterleavedBytes) {
    FramePtr frame = StereoFrame(AV_SAMPLE_FMT_S16P, 3, 8000);
    const std::int16_t interleaved[] = {1, -1, 2, -2, 3, -3};
    fill_audio_frame(*frame, reinterpret_cast<const std::uint8_t*>(interleaved), 3);
    const auto* left = reinterpret_cast<const std::int16_t*>(frame->data[0]);
    const auto* right = reinterpret_cast<const std::int16_t*>(frame->data[1]);
    EXPECT_EQ(left[2], 3);
    EXPECT_EQ(right[0], -1);
    EXPECT_EQ(right[2], -3);
}

}  // namespace
}  // namespace brenvale
