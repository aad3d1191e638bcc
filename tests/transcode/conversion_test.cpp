// Every output format of the catalogue, with its preset's default settings, converts a clip
// into a file that reads back with the size, rate, duration and sound that were asked.
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

constexpr double kClipSeconds = 2.0;
constexpr std::int64_t kStartToleranceUs = 50000;
constexpr double kLargestAudioFrame = 2048;  // samples, of the encoders the catalogue uses

struct CatalogueCase {
    const char* name;
    const char* extension;
    const char* video_codec;  // empty: audio only
    const char* audio_codec;
    const char* video_bitrate;
    const char* audio_bitrate;
    int sample_rate;
    const char* frame_rate;
    const char* frame_size;  // empty: the source's 320x240
};

std::ostream& operator<<(std::ostream& out, const CatalogueCase& entry) { return out << entry.name; }

// The presets' first choices, and the other codecs their lists offer.
const CatalogueCase kCatalogue[] = {
    {"Swf", "swf", "flv", "libmp3lame", "200000", "64000", 44100, "15.0", ""},
    {"Flv", "flv", "flv", "libmp3lame", "200000", "64000", 44100, "15.0", ""},
    {"AviMpeg4Pcm", "avi", "mpeg4", "pcm_s16le", "1200000", "128000", 48000, "25", ""},
    {"AviH264Mp3", "avi", "libx264", "libmp3lame", "1200000", "128000", 48000, "25", ""},
    {"AviH264Mp2", "avi", "libx264", "mp2", "1200000", "128000", 48000, "25", ""},
    {"AviH264Ac3", "avi", "libx264", "ac3", "1200000", "128000", 48000, "25", ""},
    {"DivX", "avi", "mpeg4", "libmp3lame", "1200000", "128000", 48000, "25", ""},
    {"Mp3", "mp3", "", "libmp3lame", "", "192000", 48000, "", ""},
    {"Mp4Mpeg4", "mp4", "mpeg4", "aac", "1200000", "128000", 44100, "25", ""},
    {"Mp4H264", "mp4", "libx264", "aac", "1200000", "128000", 44100, "25", ""},
    {"Mp4Xvid", "mp4", "libxvid", "aac", "1200000", "128000", 44100, "25", ""},
    {"Mpeg1", "mpg", "mpeg1video", "mp2", "1600000", "192000", 44100, "25.0", "320x240"},
    {"Mpeg2Mp2", "mpg", "mpeg2video", "mp2", "2000000", "192000", 44100, "25.0", "320x240"},
    {"Mpeg2Ac3", "mpg", "mpeg2video", "ac3", "2000000", "192000", 44100, "25.0", "320x240"},
    {"Mov", "mov", "mpeg4", "aac", "1200000", "128000", 44100, "25", ""},
    {"Wmv", "wmv", "wmv2", "wmav2", "1200000", "128000", 48000, "25", "320x240"},
};

// The options in the order the output record applies them.
OptionList PresetOptions(const CatalogueCase& entry) {
    OptionList options = {{"acodec", entry.audio_codec},
                          {"ac", "2"},
                          {"ar", std::to_string(entry.sample_rate)},
                          {"ab", entry.audio_bitrate}};
    if (!*entry.video_codec) {
        options.emplace_back("vn", "1");
        return options;
    }
    options.insert(options.end(), {{"vcodec", entry.video_codec},
                                   {"r", entry.frame_rate},
                                   {"s", entry.frame_size},
                                   {"aspect", "4:3"},
                                   {"vb", entry.video_bitrate}});
    return options;
}

class CatalogueConversionTest : public TranscodeTest, public ::testing::WithParamInterface<CatalogueCase> {};

TEST_P(CatalogueConversionTest, OutputReadsBackAsAsked) {
    const CatalogueCase& entry = GetParam();
    const std::string output = PathOf(std::string("out.") + entry.extension);
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), output, PresetOptions(entry)));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    EXPECT_FALSE(outcome.exception_raised);

    const MediaReport report = ReadMedia(output);
    ASSERT_TRUE(report.Opened());
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].decode_errors, 0);
    EXPECT_EQ(audio[0].sample_rate, entry.sample_rate);
    EXPECT_EQ(audio[0].channels, 2);
    const double audio_seconds = static_cast<double>(audio[0].samples) / audio[0].sample_rate;

    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    if (!*entry.video_codec) {
        EXPECT_TRUE(video.empty());
        EXPECT_NEAR(audio_seconds, kClipSeconds, kLargestAudioFrame / entry.sample_rate);
        return;
    }
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].decode_errors, 0);
    EXPECT_EQ(video[0].width, 320);
    EXPECT_EQ(video[0].height, 240);
    const double rate = std::atof(entry.frame_rate);
    EXPECT_NEAR(av_q2d(video[0].frame_rate), rate, 0.01);
    const double frame_seconds = 1.0 / rate;
    EXPECT_NEAR(static_cast<double>(video[0].frames) * frame_seconds, kClipSeconds, frame_seconds + 1e-6);
    // The last picture keeps its length; muxers may start the pictures later by the sound's delay.
    if (video[0].duration_us > 0) {
        const double pictures_seconds = static_cast<double>(video[0].frames) * frame_seconds;
        EXPECT_GE(video[0].duration_us / 1e6, pictures_seconds - 1e-3);
        EXPECT_LE(video[0].duration_us / 1e6,
                  pictures_seconds + frame_seconds + kLargestAudioFrame / entry.sample_rate);
    }
    // Encoders add their own delay and pad their last frame: one frame of each stream.
    EXPECT_NEAR(audio_seconds, kClipSeconds, frame_seconds + kLargestAudioFrame / entry.sample_rate);

    const std::vector<std::int64_t> starts = StreamStarts(output);
    ASSERT_EQ(starts.size(), 2u);
    // Flash movies state no start for their pictures.
    if (starts[0] < 0 || starts[1] < 0) return;
    EXPECT_LE(std::llabs(starts[0] - starts[1]), kStartToleranceUs) << starts[0] << " vs " << starts[1];
}

INSTANTIATE_TEST_SUITE_P(EveryEntry, CatalogueConversionTest, ::testing::ValuesIn(kCatalogue),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brenvale::testing
