// Failed opens: the text in last_error, and an engine left as it was.
#include <gtest/gtest.h>

#include <cerrno>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "input_fixture.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

TEST(OpenErrorText, TheNameIsNeverReadAsAFormat) {
    EXPECT_EQ(open_error_text("a%s.avi", AVERROR_EOF),
              "a%s.avi: I/O error occurred\r\nUsually that means that input file is truncated and/or corrupted.");
    EXPECT_EQ(open_error_text("a%s", AVERROR(EDOM)).substr(0, 70),
              "a%s: Incorrect image filename syntax.\r\nUse '%d' to specify the image n");
}

// A failed write says what failed with the open texts where they have one of their own; a full
// disk keeps the library's words, "Error while opening file" would mislead.
TEST(OpenErrorText, WriteErrorsUseTheOpenTextsWhereTheyHaveOne) {
    ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
    const std::string what = "av_interleaved_write_frame()";
    EXPECT_EQ(write_error_text(what, AVERROR(EINVAL)), what + ": Error while parsing header");
    EXPECT_EQ(write_error_text(what, AVERROR(EIO)), open_error_text(what, AVERROR(EIO)));
    EXPECT_EQ(write_error_text(what, AVERROR(ENOSPC)), what + ": No space left on device");
}

using OpenErrorTest = InputTest;

TEST_F(OpenErrorTest, FailedOpensSayWhyAndChangeNothingButTheOneInputSettings) {
    ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kOddSize)));
    const struct {
        std::string path;
        std::string expected_suffix;
    } cases[] = {
        {PathOf("absent.mp4"), ": no such file or directory"},
        {PathOf("abs\u00e9nt \u65e5\u672c.mp4"), ": no such file or directory"},
        // No demuxer takes random bytes without a telling extension.
        {CopyOfClip(clips::kRandomBytes, "noise.bin"), ": Unknown format"},
        // The demuxer recognises the file but its header ends early.
        {CopyOfClip(clips::kMp4H264Aac, "cut.mp4", 2000), ": Error while parsing header"},
    };
    for (const auto& [path, expected_suffix] : cases) {
        engine_.apply_option("acodec", "aac");
        engine_.apply_option("vc", "3");

        EXPECT_FALSE(engine_.open_input_file(path));

        EXPECT_EQ(engine_.last_error, path + expected_suffix);
        EXPECT_TRUE(engine_.audio_codec_name.empty());
        EXPECT_EQ(engine_.video_channel, 0);
        EXPECT_EQ(engine_.input_file_count, 1);
        EXPECT_EQ(engine_.input_codec_count, 1);
        EXPECT_EQ(engine_.frame_width, 175);
    }
}

TEST_F(OpenErrorTest, TheTwentyFirstInputIsRefused) {
    for (int i = 0; i < MAX_FILES; ++i) ASSERT_TRUE(engine_.open_input_file(TestClipPath(clips::kWavPcm)));
    EXPECT_FALSE(engine_.open_input_file(TestClipPath(clips::kWavPcm)));
    EXPECT_EQ(engine_.input_file_count, MAX_FILES);
    EXPECT_NE(engine_.last_error.find("too many input files"), std::string::npos) << engine_.last_error;
}

}  // namespace
}  // namespace brenvale::testing
