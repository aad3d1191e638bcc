// What the generator writes, beyond the counts: the pictures and tones themselves, names
// outside the locale's encoding, and descriptions it must refuse.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "binding/unicode_names.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"
#include "tools/media_generator.h"
#include "tools/test_pattern.h"

namespace brenvale::mediagen {
namespace {

namespace fs = std::filesystem;
using brenvale::testing::ReadMedia;
using brenvale::testing::TestClipPath;

class GeneratorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_level(AV_LOG_QUIET);
    }
};

double MeanLumaError(const AVFrame& frame, std::int64_t index) {
    double total = 0;
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* row =
            frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
        for (int x = 0; x < frame.width; ++x) {
            total += std::abs(row[x] - PatternLuma(x, y, frame.width, frame.height, index));
        }
    }
    return total / (static_cast<double>(frame.width) * frame.height);
}

// Each decoded picture is its own frame of the pattern, not a neighbour's: the pattern
// moves and the frames come out in order.
class PictureContentTest : public GeneratorTest,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(PictureContentTest, DecodedFramesMatchTheirPatternFrame) {
    std::int64_t index = 0;
    ReadMedia(TestClipPath(GetParam()), [&](int, const AVFrame& frame) {
        if (frame.width == 0) return;
        const double own = MeanLumaError(frame, index);
        EXPECT_LT(own, 8.0) << "frame " << index;
        EXPECT_LT(own * 3, MeanLumaError(frame, index + 1)) << "frame " << index;
        if (index > 0) {
            EXPECT_LT(own * 3, MeanLumaError(frame, index - 1)) << "frame " << index;
        }
        ++index;
    });
    EXPECT_EQ(index, StandardClip(GetParam()).video->frame_count);
}

INSTANTIATE_TEST_SUITE_P(Clips, PictureContentTest,
                         ::testing::Values(clips::kMp4H264Aac, clips::kAviMpeg4Mp3, clips::kOddSize,
                                           clips::kUnknownDuration),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

double FirstChannelSample(const AVFrame& frame, int index) {
    switch (frame.format) {
        case AV_SAMPLE_FMT_FLTP:
            return reinterpret_cast<const float*>(frame.extended_data[0])[index];
        case AV_SAMPLE_FMT_S16:
            return reinterpret_cast<const std::int16_t*>(
                       frame.extended_data[0])[index * frame.ch_layout.nb_channels] /
                   32767.0;
        default:
            ADD_FAILURE() << "sample format " << frame.format;
            return 0;
    }
}

TEST_F(GeneratorTest, PcmSamplesAreTheToneExactly) {
    const AudioSpec& setup = StandardClip(clips::kWavPcm).audio[0];
    std::int64_t index = 0;
    int mismatches = 0;
    ReadMedia(TestClipPath(clips::kWavPcm), [&](int, const AVFrame& frame) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(frame.extended_data[0]);
        for (int i = 0; i < frame.nb_samples * setup.channels; ++i) {
            const auto expected = std::lrint(
                ToneSample(setup.tone_hz, setup.sample_rate, index + i / setup.channels) * 32767);
            if (samples[i] != expected) ++mismatches;
        }
        index += frame.nb_samples;
    });
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(index, setup.sample_count);
}

// Sign changes of the first channel give the tone's frequency, track by track.
TEST_F(GeneratorTest, EveryAudioTrackCarriesItsOwnTone) {
    const ClipDescription& clip = StandardClip(clips::kMkvTwoAudioSubtitles);
    std::map<int, int> crossings;
    std::map<int, double> previous;
    ReadMedia(TestClipPath(clip.name), [&](int stream, const AVFrame& frame) {
        if (frame.nb_samples == 0) return;
        for (int i = 0; i < frame.nb_samples; ++i) {
            const double sample = FirstChannelSample(frame, i);
            if ((sample >= 0) != (previous[stream] >= 0)) ++crossings[stream];
            previous[stream] = sample;
        }
    });
    ASSERT_EQ(crossings.size(), clip.audio.size());
    int track = 0;
    for (const auto& [stream, count] : crossings) {
        const AudioSpec& setup = clip.audio[track++];
        const double expected = 2 * setup.tone_hz * setup.sample_count / setup.sample_rate;
        EXPECT_NEAR(count, expected, expected * 0.05) << "stream " << stream;
    }
}

TEST_F(GeneratorTest, WritesUnderANameTheLocaleCannotHold) {
    ASSERT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
    const fs::path folder =
        fs::temp_directory_path() / ("brenvale-mediagen-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string path = (folder / "sample caf\u00e9 \u65e5\u672c \u266b.mp4").string();
    ASSERT_TRUE(IsUnicodeName(ToLibraryName(path)));

    const ClipDescription sample = SampleClip();
    Generate(sample, path);
    const auto report = ReadMedia(path);
    fs::remove_all(folder);

    ASSERT_TRUE(report.Opened()) << report.open_result;
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(video[0].width, 320);
    EXPECT_EQ(video[0].height, 240);
    EXPECT_EQ(video[0].frames, sample.video->frame_count);
    EXPECT_GE(audio[0].samples, sample.audio[0].sample_count);
    EXPECT_EQ(report.duration_us, sample.DurationUs());
}

struct RefusalCase {
    const char* name;
    std::function<void(ClipDescription&)> change;
    const char* message;
};

void PrintTo(const RefusalCase& refusal, std::ostream* out) { *out << refusal.name; }

class RefusalTest : public GeneratorTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, FailsNamingTheProblem) {
    ClipDescription clip = StandardClip(clips::kMkvTwoAudioSubtitles);
    GetParam().change(clip);
    const std::string path =
        (fs::temp_directory_path() / ("brenvale-refused-" + std::to_string(::getpid()))).string();
    try {
        Generate(clip, path);
        ADD_FAILURE() << "generated";
    } catch (const GenerationError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
    fs::remove(path);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, RefusalTest,
    ::testing::Values(RefusalCase{"UnknownVideoEncoder",
                                  [](ClipDescription& c) { c.video->codec = "nonexistent"; },
                                  "no encoder named nonexistent"},
                      RefusalCase{"UnknownAudioEncoder",
                                  [](ClipDescription& c) { c.audio[1].codec = "nonexistent"; },
                                  "no encoder named nonexistent"},
                      RefusalCase{"UnknownPixelFormat",
                                  [](ClipDescription& c) { c.video->pixel_format = "nonexistent"; },
                                  "no pixel format named nonexistent"},
                      RefusalCase{"PixelFormatTheScalerCannotWrite",
                                  [](ClipDescription& c) { c.video->pixel_format = "vaapi"; },
                                  "the scaler cannot write vaapi"},
                      RefusalCase{"UnknownFormat",
                                  [](ClipDescription& c) { c.format = "nonexistent"; },
                                  "output format nonexistent"},
                      RefusalCase{"RateTheEncoderRefuses",
                                  [](ClipDescription& c) { c.audio[1].sample_rate = 12345; },
                                  "open encoder libmp3lame"},
                      RefusalCase{"NoTrack",
                                  [](ClipDescription& c) {
                                      c.video.reset();
                                      c.audio.clear();
                                      c.subtitle.reset();
                                  },
                                  "describes no track"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

}  // namespace
}  // namespace brenvale::mediagen
