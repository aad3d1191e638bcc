// The rules of a run: stream mapping and its refusals, stream copy, two-pass files, frame and
// time limits, stop requests, the report and the statistics file.
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/custom_ffmpeg.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace fs = std::filesystem;

const OptionList kFlvOptions = {{"acodec", "libmp3lame"}, {"vcodec", "flv"}, {"r", "25"}};

struct RefusalCase {
    const char* name;
    OptionList options;
    std::string message;
};

class RefusedRunTest : public TranscodeTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedRunTest, FailsBeforeAnyHeaderAndLeavesNoFile) {
    const std::string output = PathOf("out.flv");
    OptionList options = kFlvOptions;
    options.insert(options.begin(), GetParam().options.begin(), GetParam().options.end());
    const JobOutcome outcome = RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), output, options));
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    EXPECT_TRUE(outcome.exception_raised);
    EXPECT_FALSE(outcome.finished);
    EXPECT_EQ(outcome.exception_message, GetParam().message);
    EXPECT_TRUE(outcome.Logged("-1: " + GetParam().message));
    EXPECT_FALSE(fs::exists(output));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedRunTest,
    ::testing::Values(
        RefusalCase{"TooFewMaps", {{"map", "0.0"}}, "Number of stream maps must match number of output streams"},
        RefusalCase{"MissingStream", {{"map", "0.5"}, {"map", "0.1"}}, "Could not find input stream #0.5"},
        RefusalCase{"MissingSyncStream", {{"map", "0.0:1.0"}, {"map", "0.1"}}, "Could not find sync stream #1.0"},
        RefusalCase{"TypeMismatch", {{"map", "0.1"}, {"map", "0.0"}}, "Codec type mismatch for mapping #0.1 -> #0.0"},
        RefusalCase{"NoSuchProgram", {{"programid", "5"}}, "Could not find input stream matching output stream #0.0"},
        RefusalCase{"CopyWithVolume",
                    {{"vol", "512"}, {"acodec", "copy"}},
                    "-acodec copy and -vol are incompatible (frames are not decoded)"},
        RefusalCase{"BadMetadataMap", {{"map_meta_data", "1:0"}}, "Invalid output file index 1 map_meta_data(1,0)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TranscodeTest, VideoCopyIsRefusedWithHooksAndPreviews) {
    for (int variant = 0; variant < 2; ++variant) {
        JobSpec setup =
            Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("out.mkv"), {{"vcodec", "copy"}, {"an", "1"}});
        setup.before_start = [variant](TCustomFFmpeg& engine) {
            if (variant == 0)
                engine.on_custom_hook = [](TCustomFFmpeg&, TBitmap&, std::int32_t, std::int64_t, bool&, bool&) {};
            else
                engine.set_preview_flags(kPreviewBitmap);
        };
        const JobOutcome outcome = RunJob(setup);
        EXPECT_EQ(outcome.exception_message,
                  variant == 0 ? "-vcodec copy and CustomHook are incompatible (frames are not decoded)"
                               : "-vcodec copy and PostHooks are incompatible (frames are not decoded)");
    }
}

TEST_F(TranscodeTest, StreamCopyRemuxKeepsEveryFrame) {
    const std::string output = PathOf("copy.mkv");
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), output, {{"vcodec", "copy"}, {"acodec", "copy"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const MediaReport report = ReadMedia(output);
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(video.size(), 1u);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(video[0].codec, "h264");
    EXPECT_EQ(video[0].frames, 50);
    EXPECT_EQ(video[0].decode_errors, 0);
    EXPECT_NEAR(av_q2d(video[0].frame_rate), 25.0, 0.01);
    EXPECT_EQ(audio[0].codec, "aac");
    // Without an edit list the encoder's priming frame is played too.
    EXPECT_NEAR(static_cast<double>(audio[0].samples) / audio[0].sample_rate, 2.0, 0.05);
    const auto starts = StreamStarts(output);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_LE(std::llabs(starts[0] - starts[1]), 50000);
}

TEST_F(TranscodeTest, MappedStreamsAndTheMappingLog) {
    const std::string output = PathOf("second.mp4");
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kMkvTwoAudioSubtitles), output,
                       {{"map", "0.0"}, {"map", "0.2:0.0"}, {"acodec", "aac"}, {"vcodec", "mpeg4"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    EXPECT_TRUE(outcome.Logged("1: Stream mapping:"));
    EXPECT_TRUE(outcome.Logged("1:   Stream #0.2 -> #0.1"));
    EXPECT_TRUE(outcome.Logged("1:  [sync #0.0]"));
    const auto audio = ReadMedia(output).StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_NEAR(static_cast<double>(audio[0].samples) / audio[0].sample_rate, 2.0, 0.1);
}

TEST_F(TranscodeTest, FrameAndTimeLimitsEndTheRun) {
    const std::string frames = PathOf("frames.avi");
    ASSERT_TRUE(RunJob(Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), frames,
                               {{"vframes", "10"}, {"vcodec", "mpeg4"}, {"acodec", "mp2"}}))
                    .finished);
    EXPECT_EQ(ReadMedia(frames).StreamsOf(AVMEDIA_TYPE_VIDEO)[0].frames, 10);
    const std::string timed = PathOf("timed.avi");
    ASSERT_TRUE(RunJob(Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), timed,
                               {{"t", "1"}, {"vcodec", "mpeg4"}, {"acodec", "mp2"}}))
                    .finished);
    // The loop stops once the output that lags most reaches the time: the others may be ahead.
    EXPECT_NEAR(ReadMedia(timed).StreamsOf(AVMEDIA_TYPE_VIDEO)[0].frames, 25, 3);
}

TEST_F(TranscodeTest, StopRequestEndsTheRunUnfinished) {
    JobSpec setup = Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("stopped.flv"), kFlvOptions);
    setup.before_start = [](TCustomFFmpeg& engine) {
        engine.progress_interval = 0;
        engine.on_progress = [](TCustomFFmpeg& self, std::int32_t, std::int32_t, std::int32_t, float, float,
                                std::int64_t, std::int32_t) { self.request_stop(); };
    };
    const JobOutcome outcome = RunJob(setup);
    EXPECT_FALSE(outcome.finished);
    EXPECT_FALSE(outcome.exception_raised) << outcome.exception_message;
    EXPECT_LT(ReadMedia(PathOf("stopped.flv")).StreamsOf(AVMEDIA_TYPE_VIDEO)[0].frames, 50);
}

TEST_F(TranscodeTest, ProgressReportsFramesOrMinusOneWithoutVideo) {
    JobOutcome video = RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("v.flv"), kFlvOptions));
    EXPECT_EQ(video.last_frame_number, 50);
    const JobOutcome audio =
        RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("a.mp3"), {{"vn", "1"}}));
    ASSERT_TRUE(audio.finished) << audio.exception_message;
    EXPECT_EQ(audio.last_frame_number, -1);
}

TEST_F(TranscodeTest, ReportLineAndSummaryGoToTheLogWithoutProgressHandler) {
    JobSpec setup = Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("log.flv"), kFlvOptions);
    setup.verbose = 2;
    setup.before_start = [](TCustomFFmpeg& engine) { engine.on_progress = nullptr; };
    const JobOutcome outcome = RunJob(setup);
    EXPECT_TRUE(outcome.Logged("1: frame=   50 fps="));
    EXPECT_TRUE(outcome.Logged(" dup=0 drop=0"));
    EXPECT_TRUE(outcome.Logged("q=") && outcome.Logged("L"));
    EXPECT_TRUE(outcome.Logged("1: video:"));
    EXPECT_TRUE(outcome.Logged("muxing overhead "));
}

TEST_F(TranscodeTest, TwoPassEncodingWritesAndReadsItsStatistics) {
    const std::string prefix = PathOf("clip");
    const OptionList first = {{"pass", "1"}, {"passlogfile", prefix}, {"vcodec", "mpeg4"}, {"an", "1"}};
    ASSERT_TRUE(RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("pass1.avi"), first)).finished);
    ASSERT_GT(fs::file_size(prefix + "-0.log"), 0u);
    OptionList second = first;
    second[0].second = "2";
    const JobOutcome outcome = RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("pass2.avi"), second));
    EXPECT_TRUE(outcome.finished) << outcome.exception_message;
    fs::remove(prefix + "-0.log");
    const JobOutcome missing = RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("pass3.avi"), second));
    EXPECT_EQ(missing.exception_message, "Cannot read log file " + prefix + "-0.log for pass-2 encoding");
}

TEST_F(TranscodeTest, VideoStatisticsFileHasALinePerFrame) {
    const std::string stats = PathOf("stats.log");
    const JobOutcome outcome =
        RunJob(Convert(TestClipPath(mediagen::clips::kMp4H264Aac), PathOf("stats.avi"),
                       {{"vstats_file", stats}, {"vcodec", "mpeg4"}, {"an", "1"}, {"psnr", "1"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    std::ifstream in(stats);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.rfind("frame= ", 0), 0u) << line;
        EXPECT_NE(line.find("PSNR= "), std::string::npos) << line;
        EXPECT_NE(line.find("type= "), std::string::npos) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 50);
}

}  // namespace
}  // namespace brenvale::testing

namespace brenvale::testing {
namespace {

TEST_F(TranscodeTest, SubtitlesAreDecodedAndEncodedAgain) {
    const std::string output = PathOf("subtitles.mkv");
    const JobOutcome outcome = RunJob(Convert(TestClipPath(mediagen::clips::kMkvTwoAudioSubtitles), output,
                                              {{"vcodec", "mpeg4"}, {"acodec", "aac"}, {"scodec", "srt"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    const auto subtitles = ReadMedia(output).StreamsOf(AVMEDIA_TYPE_SUBTITLE);
    ASSERT_EQ(subtitles.size(), 1u);
    EXPECT_EQ(subtitles[0].codec, "subrip");
    EXPECT_EQ(subtitles[0].frames, 3);
}

}  // namespace
}  // namespace brenvale::testing
