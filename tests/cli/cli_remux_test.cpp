// brenvale-cli copying streams as they are (the codec "copy" of the formats of today): what it
// copies keeps its place against the picture, its length and its start, as a conversion does;
// a container that cannot hold the source's codec fails the file at once, saying so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli_convert_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/sync_marks.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace clips = mediagen::clips;
using testing::CliResult;
using testing::ReadMedia;
using testing::TestClipPath;

constexpr std::int64_t kSyncToleranceUs = 60000;

// Sound that starts late, sound before the pictures and sound with a gap, copied as they are
// into Matroska, whole and trimmed: each burst at its second of the pictures' clock, every
// picture of the source kept, and a trim's start and length as asked (the pictures from the
// first key picture in it, the sound from its start; the end within the pictures' reordering).
TEST_F(CliConvertTest, CopiedStreamsKeepTheirPlaceLengthAndStart) {
    const char* const sources[] = {clips::kLateSound, clips::kEarlySound, clips::kSoundGap, clips::kMkvBFrames};
    for (const bool trim : {false, true}) {
        SCOPED_TRACE(trim ? "trimmed to 1.5 s from 1 s" : "whole");
        std::vector<std::string> arguments = {"--format", "mkv", "--overwrite", "--video-codec", "copy",
                                              "--audio-codec", "copy"};
        if (trim) arguments.insert(arguments.end(), {"--option", "ss=1", "--option", "t=1.5"});
        for (const char* source : sources) arguments.push_back(TestClipPath(source));
        const CliResult result = Convert(arguments);
        ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
        for (const char* source : sources) {
            SCOPED_TRACE(source);
            const mediagen::ClipDescription& clip = mediagen::StandardClip(source);
            const std::string output = Out(source + std::string(".mkv"));
            const testing::MediaReport report = ReadMedia(output);
            const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
            const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
            ASSERT_EQ(video.size(), 1u);
            ASSERT_EQ(audio.size(), 1u);
            EXPECT_EQ(video[0].codec, "h264");
            EXPECT_EQ(audio[0].codec, "aac");
            EXPECT_EQ(video[0].decode_errors, 0);
            if (trim) {
                // Packets are cut in decoding order: the last ones shown may lie a few pictures on.
                const double picture_s = static_cast<double>(clip.video->frame_rate.den) / clip.video->frame_rate.num;
                EXPECT_GE(report.duration_us / 1e6, 1.45);
                EXPECT_LE(report.duration_us / 1e6, 1.5 + 4 * picture_s);
                EXPECT_LT(std::min(video[0].first_us, audio[0].first_us), 50000) << "the trim starts at zero";
            } else {
                EXPECT_EQ(video[0].frames, clip.video->frame_count);
            }
            if (clip.video->frame_numbers) {
                const auto offsets = testing::SoundOffsets(testing::ReadMarks(output), *clip.video);
                EXPECT_GE(offsets.size(), 1u);
                for (const std::int64_t offset : offsets) EXPECT_LE(std::llabs(offset), kSyncToleranceUs);
            }
        }
    }
}

// WebM holds no H.264, Opus files no AAC: the file fails at once, naming both, and leaves nothing.
TEST_F(CliConvertTest, ACodecTheContainerCannotHoldFailsTheCopyAtOnce) {
    const std::string source = TestClipPath(clips::kMp4H264Aac);
    const CliResult video = Convert({"--format", "webm-vp9", "--video-codec", "copy", source});
    EXPECT_EQ(video.exit_status, 1);
    EXPECT_EQ(video.out, "Fail: " + source +
                             ": Cannot copy the source's h264 video: webm files do not hold h264; choose a codec to "
                             "convert it\n");
    const CliResult sound = Convert({"--format", "opus", "--audio-codec", "copy", source});
    EXPECT_NE(sound.out.find(": opus files do not hold aac;"), std::string::npos) << sound.out;
    EXPECT_TRUE(OutputFiles().empty());
    // What a copy cannot change is refused before anything starts.
    const CliResult size = Convert({"--format", "mkv", "--video-codec", "copy", "--video-size", "720p", source});
    EXPECT_EQ(size.exit_status, 2);
    EXPECT_NE(size.errors.find("'720p' is not taken by a copied stream"), std::string::npos) << size.errors;
    const CliResult volume = Convert({"--format", "m4a", "--audio-codec", "copy", "--volume", "120", source});
    EXPECT_EQ(volume.exit_status, 2);
    EXPECT_NE(volume.errors.find("only 100 is taken with --audio-codec copy"), std::string::npos) << volume.errors;
}

}  // namespace
}  // namespace brenvale
