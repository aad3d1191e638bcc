// brenvale-cli converting the generator's clips into the formats of today, each output read back:
// codec and profile, 8-bit 4:2:0 pictures of the source's shape at its rate, every frame
// decoded, the sound's rate and its channels kept, the tracks carried, the MP4 index before the media and
// the tag Apple's players look for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "cli_convert_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace clips = mediagen::clips;
using testing::CliResult;
using testing::ReadMedia;
using testing::StreamReport;
using testing::TestClipPath;

constexpr double kSoundToleranceSeconds = 0.1;  // priming and the padded last frame

struct ModernCase {
    const char* format;
    const char* extension;
    std::vector<const char*> sources;
    std::vector<std::string> options;
    const char* video_codec;  // nullptr: a sound file
    int profile;
    const char* audio_codec;
    int fixed_sample_rate;  // 0: the source's own
    bool index_first;
    const char* tag;  // nullptr: any
    int height_limit;  // 0: the source's size
};

void PrintTo(const ModernCase& format, std::ostream* out) { *out << format.format; }

std::string FourCharacters(std::uint32_t tag) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += static_cast<char>((tag >> (8 * i)) & 0xFF);
    return text;
}

// The top-level boxes of an MP4 file: is "moov" (the index) met before "mdat" (the media)?
bool IndexComesFirst(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    for (std::uint64_t position = 0;;) {
        unsigned char header[16];
        file.seekg(static_cast<std::streamoff>(position));
        if (!file.read(reinterpret_cast<char*>(header), 8)) return false;
        std::uint64_t size = (std::uint64_t{header[0]} << 24) | (header[1] << 16) | (header[2] << 8) | header[3];
        const std::string type(reinterpret_cast<char*>(header) + 4, 4);
        if (type == "moov") return true;
        if (type == "mdat") return false;
        if (size == 1 && file.read(reinterpret_cast<char*>(header) + 8, 8)) {
            size = 0;
            for (int i = 8; i < 16; ++i) size = (size << 8) | header[i];
        }
        if (size < 8) return false;
        position += size;
    }
}

// Square pictures no taller than the limit, the width following the shape, even sides.
std::pair<int, int> ExpectedSize(const mediagen::VideoSpec& video, int height_limit) {
    if (height_limit == 0 || video.height <= height_limit) return {video.width / 2 * 2, video.height / 2 * 2};
    const double width = static_cast<double>(height_limit) * video.width / video.height;
    return {static_cast<int>(std::lround(width / 2)) * 2, height_limit};
}

void CheckPictures(const ModernCase& format, const mediagen::VideoSpec& described, const StreamReport& video) {
    const auto [width, height] = ExpectedSize(described, format.height_limit);
    EXPECT_EQ(video.codec, format.video_codec);
    EXPECT_EQ(video.profile, format.profile);
    EXPECT_EQ(video.pixel_format, "yuv420p");
    EXPECT_EQ(video.width, width);
    EXPECT_EQ(video.height, height);
    const double pixel_shape = video.sample_aspect.num > 0 ? av_q2d(video.sample_aspect) : 1.0;
    EXPECT_NEAR(video.width * pixel_shape / video.height, static_cast<double>(described.width) / described.height, 0.02);
    const double rate = static_cast<double>(described.frame_rate.num) / described.frame_rate.den;
    EXPECT_NEAR(av_q2d(video.frame_rate), rate, 0.01) << "the source's own rate";
    EXPECT_EQ(video.frames, described.frame_count) << "every picture, each decoded";
    EXPECT_EQ(video.decode_errors, 0);
    EXPECT_NEAR(video.DecodedSeconds(), static_cast<double>(described.frame_count) / rate, 1.01 / rate);
    if (format.tag) {
        EXPECT_EQ(FourCharacters(video.codec_tag), format.tag);
    }
}

void CheckSound(const ModernCase& format, const mediagen::AudioSpec& described, const StreamReport& audio) {
    EXPECT_EQ(audio.codec, format.audio_codec);
    EXPECT_EQ(audio.channels, described.channels) << "the source's own channels, 5.1 included";
    EXPECT_EQ(audio.sample_rate, format.fixed_sample_rate ? format.fixed_sample_rate : described.sample_rate);
    EXPECT_EQ(audio.decode_errors, 0);
    const double seconds = static_cast<double>(described.sample_count) / described.sample_rate;
    EXPECT_NEAR(static_cast<double>(audio.samples) / audio.sample_rate, seconds, kSoundToleranceSeconds);
}

class CliModernFormatTest : public CliConvertTest, public ::testing::WithParamInterface<ModernCase> {};

TEST_P(CliModernFormatTest, EverySourceConvertsAndReadsBackAsPlayersExpect) {
    const ModernCase& format = GetParam();
    std::vector<std::string> arguments = {"--format", format.format, "--jobs", "2"};
    arguments.insert(arguments.end(), format.options.begin(), format.options.end());
    for (const char* source : format.sources) arguments.push_back(TestClipPath(source));
    const CliResult result = Convert(arguments);
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    for (const char* source : format.sources) {
        SCOPED_TRACE(source);
        const mediagen::ClipDescription& clip = mediagen::StandardClip(source);
        const std::string output = Out(source + std::string(format.extension));
        const testing::MediaReport report = ReadMedia(output);
        ASSERT_TRUE(report.Opened());
        const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
        ASSERT_EQ(video.size(), format.video_codec && clip.video ? 1u : 0u);
        if (!video.empty()) CheckPictures(format, *clip.video, video[0]);
        const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
        const bool all_tracks = std::string(format.format) == "mkv";
        ASSERT_EQ(audio.size(), all_tracks ? clip.audio.size() : std::min<std::size_t>(clip.audio.size(), 1));
        for (std::size_t track = 0; track < audio.size(); ++track) {
            SCOPED_TRACE("audio track " + std::to_string(track));
            // Every track takes the first one's sampling rate.
            mediagen::AudioSpec described = clip.audio[track];
            described.sample_rate = clip.audio[0].sample_rate;
            described.sample_count = clip.audio[track].sample_count * described.sample_rate / clip.audio[track].sample_rate;
            CheckSound(format, described, audio[track]);
        }
        if (format.index_first) {
            EXPECT_TRUE(IndexComesFirst(output));
        }
        const auto subtitles = report.StreamsOf(AVMEDIA_TYPE_SUBTITLE);
        if (all_tracks && clip.subtitle) {
            ASSERT_EQ(subtitles.size(), 1u);
            EXPECT_EQ(subtitles[0].codec, "subrip");
            EXPECT_EQ(subtitles[0].frames, static_cast<std::int64_t>(clip.subtitle->cues.size()));
        }
    }
}

// One run per entry; the sources spread the awkward shapes over them: 4:4:4, 10-bit and 4:2:2
// pictures, odd sizes, AV1, VP9, H.265, Theora, Motion JPEG and raw sources, 5.1 and mono sound
// at several rates, two audio tracks with subtitles, sound alone and pictures alone.
INSTANTIATE_TEST_SUITE_P(
    Entries, CliModernFormatTest,
    ::testing::Values(
        ModernCase{"mp4-h264", ".mp4",
                   {clips::kH264FullChroma, clips::kOddSize, clips::kAv1Vorbis, clips::kTheoraFlac,
                    clips::kMp3Audio},
                   {}, "h264", FF_PROFILE_H264_HIGH, "aac", 0, true, "avc1", 0},
        ModernCase{"mp4-h265", ".mp4", {clips::kH264TenBit, clips::kMjpegPcm}, {}, "hevc", FF_PROFILE_HEVC_MAIN, "aac",
                   0, true, "hvc1", 0},
        ModernCase{"webm-vp9", ".webm", {clips::kHevcSurround, clips::kRawPictures}, {}, "vp9", FF_PROFILE_VP9_0,
                   "opus", 48000, false, nullptr, 0},
        ModernCase{"webm-av1", ".webm", {clips::kVp9Opus, clips::kH264HalfChroma}, {}, "av1", FF_PROFILE_AV1_MAIN,
                   "opus", 48000, false, nullptr, 0},
        ModernCase{"mkv", ".mkv", {clips::kMkvTwoAudioSubtitles, clips::kHighDefinition}, {"--video-size", "480p"},
                   "h264", FF_PROFILE_H264_HIGH, "aac", 0, false, nullptr, 480},
        ModernCase{"m4a", ".m4a", {clips::kWavPcm, clips::kVp9Opus, clips::kHevcSurround}, {}, nullptr, 0, "aac", 0,
                   true, nullptr, 0},
        ModernCase{"opus", ".opus", {clips::kMp3Audio, clips::kHevcSurround}, {}, nullptr, 0, "opus", 48000, false,
                   nullptr, 0},
        ModernCase{"flac", ".flac", {clips::kWavPcm, clips::kMkvTwoAudioSubtitles, clips::kHevcSurround}, {}, nullptr,
                   0, "flac", 0, false, nullptr, 0}),
    [](const auto& info) {
        std::string name = info.param.format;
        std::erase(name, '-');
        return name;
    });

// Lossless means every sample as it was: the count of the source exactly.
TEST_F(CliConvertTest, FlacKeepsEverySample) {
    ASSERT_EQ(Convert({"--format", "flac", TestClipPath(clips::kWavPcm)}).exit_status, 0);
    const auto audio = ReadMedia(Out("wav_pcm.flac")).StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].samples, mediagen::StandardClip(clips::kWavPcm).audio[0].sample_count);
}

// A sound entry given pictures alone fails that file clearly and leaves nothing behind.
TEST_F(CliConvertTest, ASoundEntryRefusesASourceWithoutSound) {
    const CliResult result = Convert({"--format", "opus", TestClipPath(clips::kRawPictures)});
    EXPECT_EQ(result.exit_status, 1) << result.out << result.errors;
    EXPECT_NE(result.out.find("Fail: " + TestClipPath(clips::kRawPictures)), std::string::npos) << result.out;
    EXPECT_TRUE(OutputFiles().empty());
}

}  // namespace
}  // namespace brenvale
