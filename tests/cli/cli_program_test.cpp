// The program's listings, usage errors and exit statuses, run as a child process.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_process.h"
#include "common/version.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
using testing::CliResult;

class CliProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("brenvale-cli-program-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    CliResult Run(const std::vector<std::string>& arguments) const { return testing::RunCli(arguments, folder_); }

    fs::path folder_;
};

TEST_F(CliProgramTest, UsageErrorsExitWithTwoAndConvertNothing) {
    const std::string clip = testing::TestClipPath(mediagen::clips::kOddSize);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no input files"},
        {{"--frobnicate", clip}, "unknown option"},
        {{"--format", "mkv2", clip}, "unknown format 'mkv2'"},
        {{"--format", "avi", "--video-bitrate", "1600", clip}, "valid values: 192, 200"},
        {{"--option", "ab=64000", clip}, "use --audio-bitrate instead"},
        {{"--json", clip}, "--json goes with --info"},
    };
    for (const auto& [arguments, message] : cases) {
        const CliResult result = Run(arguments);
        EXPECT_EQ(result.exit_status, 2) << message;
        EXPECT_NE(result.errors.find(message), std::string::npos) << result.errors;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2)
        << "only the captured output files";
}

TEST_F(CliProgramTest, ListingsDescribeTheCatalogue) {
    const CliResult formats = Run({"--list-formats"});
    EXPECT_EQ(formats.exit_status, 0);
    EXPECT_NE(formats.out.find("flv       .flv   FLV - Flash Video (*.flv)  (default)\n"), std::string::npos)
        << formats.out;
    EXPECT_NE(formats.out.find("mpeg2     .mpg   MPEG-2 Movie (*.mpg)\n"), std::string::npos) << formats.out;
    // The formats of today after the ten.
    EXPECT_NE(formats.out.find("wmv       .wmv   WMV - Windows Media Video (*.wmv)\n"
                               "mp4-h264  .mp4   MP4 - H.264 / AAC (*.mp4)\n"),
              std::string::npos)
        << formats.out;
    EXPECT_NE(formats.out.find("webm-av1  .webm  WebM - AV1 / Opus (*.webm)\n"), std::string::npos) << formats.out;
    EXPECT_EQ(std::count(formats.out.begin(), formats.out.end(), '\n'), 18);

    const CliResult preset = Run({"--show-preset", "MPEG2"});
    EXPECT_EQ(preset.exit_status, 0);
    EXPECT_NE(preset.out.find("--audio-codec    [mp2] ac3\n"), std::string::npos) << preset.out;
    EXPECT_NE(preset.out.find(" 1600 [2000] 2500\n"), std::string::npos) << preset.out;
    EXPECT_NE(Run({"--show-preset", "mp3"}).out.find("--video-size     (none)\n"), std::string::npos);
    const CliResult modern = Run({"--show-preset", "webm-vp9"});
    EXPECT_NE(modern.out.find("--video-size     [original] 2160p 1080p 720p 480p\n"), std::string::npos) << modern.out;
    EXPECT_NE(modern.out.find("--video-bitrate  rf24 rf28 [rf32] rf36 rf40 1000 "), std::string::npos) << modern.out;
    EXPECT_NE(modern.out.find("--sample-rate    [48000]\n"), std::string::npos) << modern.out;
}

// The bash completion offers what these print.
TEST_F(CliProgramTest, TheVersionAndASettingsValuesForTheFormatAndCodecsGiven) {
    EXPECT_EQ(Run({"--version"}).out, "brenvale-cli (Brenvale) " BRENVALE_VERSION "\n");
    EXPECT_EQ(Run({"--list-values", "--sample-rate"}).out, "11025\n22050\n44100\n");
    const CliResult ac3 = Run({"--list-values", "--sample-rate", "--format", "avi", "--audio-codec", "ac3"});
    EXPECT_EQ(ac3.exit_status, 0);
    EXPECT_EQ(ac3.out, "32000\n44100\n48000\n");
    EXPECT_EQ(Run({"--list-values=--video-size", "--format=mp3"}).out, "");
    EXPECT_EQ(Run({"--list-values", "--frame-rate", "--video-codec", "theora"}).exit_status, 2);
}

TEST_F(CliProgramTest, InfoDescribesFilesAndFailsForOnesThatDoNotOpen) {
    const std::string clip = testing::TestClipPath(mediagen::clips::kNtscRate);
    const std::string surround = testing::TestClipPath(mediagen::clips::kHevcSurround);
    const CliResult info = Run({"--info", clip, surround});
    EXPECT_EQ(info.exit_status, 0) << info.errors;
    EXPECT_NE(info.out.find("  container:  mov,mp4,m4a,3gp,3g2,mj2 (QuickTime / MOV)\n  video size: 160x120\n"
                            "  frame rate: 29.97\n  duration:   00:00:02 (2.002 s)\n  bit rate:   "),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("  stream 0:   video hevc (Main), 320x240, 25 fps, yuv420p, "), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("  stream 1:   audio aac (LC), 6 channels (5.1), 48000 Hz, "), std::string::npos) << info.out;
    const CliResult json = Run({"--info", "--json", surround});
    EXPECT_EQ(json.out.rfind("[{\"file\": \"" + surround + "\", \"container\": \"mov,mp4,m4a,3gp,3g2,mj2\", ", 0), 0u)
        << json.out;
    EXPECT_NE(json.out.find("\"channels\": 6, \"channel_layout\": \"5.1\", \"sample_rate\": 48000}]}]\n"),
              std::string::npos)
        << json.out;
    // The file is named once, in words a user reads, with the libraries' text after them.
    const std::string bad = testing::TestClipPath(mediagen::clips::kRandomBytes);
    const CliResult failed = Run({"--info", bad, clip});
    EXPECT_EQ(failed.exit_status, 1);
    EXPECT_EQ(failed.errors, "brenvale-cli: " + bad + ": its streams could not be read (could not find codec parameters)\n");
    EXPECT_NE(failed.out.find(clip), std::string::npos) << "the other file is still described";
}

}  // namespace
}  // namespace brenvale
