// brenvale-cli run as a program over the generated clips, its outputs read back.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "cli_convert_fixture.h"
#include "cli_process.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;
namespace clips = mediagen::clips;
using testing::CliResult;
using testing::TestClipPath;

struct FormatCase {
    const char* format;
    const char* extension;
    const char* video_codec;  // empty: no video stream
    double frame_rate;
    int width, height;
    const char* audio_codec;
    int sample_rate;
};

std::string CaseName(const ::testing::TestParamInfo<FormatCase>& info) { return info.param.format; }
void PrintTo(const FormatCase& format, std::ostream* out) { *out << format.format; }

class CliFormatTest : public CliConvertTest, public ::testing::WithParamInterface<FormatCase> {};

// The two-second 320x240 H.264 clip at 25 fps with 44.1 kHz AAC, in each format's default preset.
const FormatCase kFormats[] = {
    {"swf", ".swf", "flv1", 15, 320, 240, "mp3", 44100},
    {"flv", ".flv", "flv1", 15, 320, 240, "mp3", 44100},
    {"avi", ".avi", "mpeg4", 25, 320, 240, "pcm_s16le", 48000},
    {"divx", ".avi", "mpeg4", 25, 320, 240, "mp3", 48000},
    {"mp3", ".mp3", "", 0, 0, 0, "mp3", 48000},
    {"mp4", ".mp4", "mpeg4", 25, 320, 240, "aac", 44100},
    {"mpeg1", ".mpg", "mpeg1video", 25, 320, 240, "mp2", 44100},
    {"mpeg2", ".mpg", "mpeg2video", 25, 320, 240, "mp2", 44100},
    {"mov", ".mov", "mpeg4", 25, 320, 240, "aac", 44100},
    {"wmv", ".wmv", "wmv2", 25, 320, 240, "wmav2", 48000},
};

TEST_P(CliFormatTest, TheDefaultPresetConvertsTheClip) {
    const FormatCase& format = GetParam();
    const std::string source = TestClipPath(clips::kMp4H264Aac);
    const std::string output = Out(std::string(clips::kMp4H264Aac) + format.extension);
    const CliResult result = Convert({"--format", format.format, source});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    EXPECT_EQ(result.out, "Done: " + source + " -> " + output + "\n");

    const testing::MediaReport report = testing::ReadMedia(output);
    ASSERT_TRUE(report.Opened()) << output;
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    const double seconds = 2.0;
    if (*format.video_codec) {
        ASSERT_EQ(video.size(), 1u);
        EXPECT_EQ(video[0].codec, format.video_codec);
        EXPECT_EQ(video[0].width, format.width);
        EXPECT_EQ(video[0].height, format.height);
        EXPECT_EQ(video[0].decode_errors, 0);
        EXPECT_NEAR(static_cast<double>(video[0].frames), seconds * format.frame_rate, 2.0);
    } else {
        EXPECT_TRUE(video.empty());
    }
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].codec, format.audio_codec);
    EXPECT_EQ(audio[0].sample_rate, format.sample_rate);
    EXPECT_EQ(audio[0].channels, 2);
    EXPECT_EQ(audio[0].decode_errors, 0);
    // Encoders pad their last frame and add a start delay that not every container trims.
    EXPECT_NEAR(static_cast<double>(audio[0].samples), seconds * format.sample_rate, 0.1 * format.sample_rate);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, CliFormatTest, ::testing::ValuesIn(kFormats), CaseName);

TEST_F(CliConvertTest, ChosenSettingsReachTheOutput) {
    const std::string source = TestClipPath(clips::kMp4H264Aac);
    const CliResult result = Convert({"--format", "avi", "--video-codec", "H264", "--video-size", "160X120",
                                      "--audio-codec", "mp2", "--sample-rate", "22050", "--channels", "mono",
                                      "--frame-rate", "15", source});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    const testing::MediaReport report = testing::ReadMedia(Out("mp4_h264_aac.avi"));
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(video[0].codec, "h264");
    EXPECT_EQ(video[0].width, 160);
    EXPECT_EQ(video[0].height, 120);
    EXPECT_NEAR(static_cast<double>(video[0].frames), 30.0, 2.0);
    EXPECT_EQ(audio[0].codec, "mp2");
    EXPECT_EQ(audio[0].sample_rate, 22050);
    EXPECT_EQ(audio[0].channels, 1);
}

TEST_F(CliConvertTest, ExtraOptionLinesReachTheOutput) {
    const CliResult result = Convert({"--format", "avi", "--option", "t=1", TestClipPath(clips::kMp4H264Aac)});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    const auto video = testing::ReadMedia(Out("mp4_h264_aac.avi")).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    // The limit is checked on the packets read; pictures the decoder still holds come after it.
    EXPECT_GE(video[0].frames, 25);
    EXPECT_LE(video[0].frames, 35) << "about one second of the two";
}

// Input options apply before the input opens: a start position, a forced format; a flag may
// come without a value.
TEST_F(CliConvertTest, InputOptionLinesApplyBeforeTheInputOpens) {
    const CliResult result = Convert({"--format", "avi", "--input-option", "ss=1.2", "--option", "re",
                                      TestClipPath(clips::kMp4H264Aac)});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    const auto video = testing::ReadMedia(Out("mp4_h264_aac.avi")).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_NEAR(static_cast<double>(video[0].frames), 20.0, 3.0) << "the last 0.8 seconds of the two";

    // Raw samples say nothing about themselves: the PCM clip without its header.
    const std::string raw = (folder_ / "sound.raw").string();
    {
        std::ifstream wav(TestClipPath(clips::kWavPcm), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(wav), std::istreambuf_iterator<char>()};
        std::ofstream(raw, std::ios::binary) << bytes.substr(bytes.size() - 88200 * 4);
    }
    const CliResult forced = Convert({"--format", "mp3", "--input-option", "f=s16le", "--input-option", "ar=44100",
                                      "--input-option", "ac=2", raw});
    ASSERT_EQ(forced.exit_status, 0) << forced.out << forced.errors;
    const auto audio = testing::ReadMedia(Out("sound.mp3")).StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_NEAR(static_cast<double>(audio[0].samples) / audio[0].sample_rate, 2.0, 0.1);
}

TEST_F(CliConvertTest, AudioOnlyAndUnknownLengthSourcesConvert) {
    const std::string wav = TestClipPath(clips::kWavPcm);
    const std::string raw = TestClipPath(clips::kUnknownDuration);
    const CliResult result = Convert({"--format", "mp3", wav});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    EXPECT_EQ(testing::ReadMedia(Out("wav_pcm.mp3")).StreamsOf(AVMEDIA_TYPE_AUDIO).size(), 1u);

    // Without a known length the job gets the ten-hour limit and still ends with its input.
    const CliResult flv = Convert({raw});
    ASSERT_EQ(flv.exit_status, 0) << flv.out << flv.errors;
    const auto video = testing::ReadMedia(Out("unknown_duration.flv")).StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_NEAR(static_cast<double>(video[0].frames), 30.0, 2.0) << "two seconds at 15 fps";
}

TEST_F(CliConvertTest, ExistingOutputsGetNumberedUnlessOverwritten) {
    const std::string source = TestClipPath(clips::kOddSize);
    ASSERT_EQ(Convert({source}).exit_status, 0);
    const CliResult second = Convert({source});
    ASSERT_EQ(second.exit_status, 0) << second.errors;
    EXPECT_EQ(second.out, "Done: " + source + " -> " + Out("odd_size-1.flv") + "\n");
    const CliResult replaced = Convert({"--overwrite", source});
    ASSERT_EQ(replaced.exit_status, 0) << replaced.errors;
    EXPECT_EQ(replaced.out, "Done: " + source + " -> " + Out("odd_size.flv") + "\n");
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"odd_size-1.flv", "odd_size.flv"}));
}

TEST_F(CliConvertTest, FilesOfTheSameNameInOneRunGetTheirOwnOutputs) {
    for (const char* sub : {"a", "b"}) {
        fs::create_directories(folder_ / sub);
        fs::copy_file(TestClipPath(clips::kOddSize), folder_ / sub / "clip.avi");
    }
    const CliResult result = Convert({"--overwrite", "--jobs", "2", (folder_ / "a" / "clip.avi").string(),
                                      (folder_ / "b" / "clip.avi").string()});
    ASSERT_EQ(result.exit_status, 0) << result.out << result.errors;
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"clip-1.flv", "clip.flv"}));
    for (const char* name : {"clip.flv", "clip-1.flv"})
        EXPECT_EQ(testing::ReadMedia(Out(name)).StreamsOf(AVMEDIA_TYPE_VIDEO).size(), 1u) << name;
}

TEST_F(CliConvertTest, AFileThatFailsIsReportedAndTheOthersStillConvert) {
    const std::string bad = TestClipPath(clips::kRandomBytes);
    const std::string good = TestClipPath(clips::kOddSize);
    const std::string missing = (folder_ / "missing.avi").string();
    const CliResult result = Convert({"--jobs", "2", bad, good, missing});
    EXPECT_EQ(result.exit_status, 1) << result.errors;
    std::istringstream lines(result.out);
    std::string line;
    std::vector<std::string> report;
    while (std::getline(lines, line)) report.push_back(line);
    ASSERT_EQ(report.size(), 3u) << result.out;
    EXPECT_TRUE(report[0].starts_with("Fail: " + bad + ": ")) << report[0];
    EXPECT_GT(report[0].size(), ("Fail: " + bad + ": ").size()) << "with a reason";
    EXPECT_EQ(report[1], "Done: " + good + " -> " + Out("odd_size.flv"));
    EXPECT_TRUE(report[2].starts_with("Fail: " + missing + ": ")) << report[2];
    EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"odd_size.flv"})) << "no output left for the failures";
}

TEST_F(CliConvertTest, AJobThatFailsWhileRunningGivesItsErrorAndLeavesNoOutput) {
    // The run finds no statistics for the second pass once it sets the encoder up.
    const std::string source = TestClipPath(clips::kOddSize);
    const CliResult result =
        Convert({"--format", "mpeg1", "--option", "pass=2", "--option", "passlogfile=" + Out("missing"), source});
    EXPECT_EQ(result.exit_status, 1) << result.errors;
    EXPECT_TRUE(result.out.starts_with("Fail: " + source + ": Cannot read log file")) << result.out;
    EXPECT_TRUE(OutputFiles().empty());
}

TEST_F(CliConvertTest, InterruptStopsTheJobsAndRemovesTheirPartialOutputs) {
    const std::string source = TestClipPath(clips::kMp4H264Aac);
    // Read at the clip's own rate, the conversion lasts its two seconds.
    testing::CliProcess cli({"--output-folder", (folder_ / "out").string(), "--option", "re=1", source, source},
                            folder_);
    ASSERT_TRUE(cli.WaitForErrorText("mp4_h264_aac.mp4", std::chrono::seconds(60))) << cli.ErrorsSoFar();
    cli.Signal(SIGINT);
    const CliResult result = cli.Wait();
    EXPECT_EQ(result.exit_status, 130) << result.errors;
    EXPECT_EQ(result.out, "Abort: " + source + "\nAbort: " + source + "\n");
    EXPECT_TRUE(OutputFiles().empty());
}

}  // namespace
}  // namespace brenvale
