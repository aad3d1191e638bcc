#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "probe/av_probe.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

using testing::TestClipPath;
namespace clips = mediagen::clips;

std::mutex log_mutex;
std::vector<std::string> log_lines;  // guarded by log_mutex

void CaptureLog(void*, int level, const char* format, va_list arguments) {
    if (level > AV_LOG_INFO) return;
    char line[1024];
    std::vsnprintf(line, sizeof line, format, arguments);
    const std::lock_guard<std::mutex> lock(log_mutex);
    log_lines.emplace_back(line);
}

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_callback(CaptureLog);
        const std::lock_guard<std::mutex> lock(log_mutex);
        log_lines.clear();
    }
    void TearDown() override { ff::av_log_set_callback(ff::av_log_default_callback); }

    static std::vector<std::string> LogLines() {
        const std::lock_guard<std::mutex> lock(log_mutex);
        return log_lines;
    }

    static void ExpectNoFile(const TAVProbe& probe) {
        EXPECT_EQ(probe.FormatContext(), nullptr);
        for (int count : {probe.StreamCount(), probe.ProgramCount(), probe.AudioStreamCount(),
                          probe.VideoStreamCount(), probe.SubtitleStreamCount(), probe.FirstAudioStream(),
                          probe.FirstVideoStream(), probe.FirstSubtitleStream()}) {
            EXPECT_EQ(count, -1);
        }
    }

    TAVProbe probe_;
};

// A copy of the first `bytes` bytes of a clip (all when 0) under another name.
std::string CopyOfClip(const std::string& clip, const std::string& name, std::size_t bytes = 0) {
    const std::string path = testing::TestMediaFolder() + "/probe-" + name;
    std::ifstream source(TestClipPath(clip), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
    if (bytes > 0) content.resize(bytes);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

struct FailedLoad {
    std::function<std::string()> path;
    std::string error_after_name;
};
void PrintTo(const FailedLoad& load, std::ostream* out) { *out << load.error_after_name.substr(2); }

class FailedLoadTest : public ProbeTest, public ::testing::WithParamInterface<FailedLoad> {};

TEST_P(FailedLoadTest, LeavesNoFileAndSaysWhy) {
    const std::string path = GetParam().path();
    ASSERT_TRUE(probe_.LoadFile(TestClipPath(clips::kMp4H264Aac)));

    EXPECT_FALSE(probe_.LoadFile(path));
    EXPECT_EQ(probe_.LastError(), path + GetParam().error_after_name);
    ExpectNoFile(probe_);
}

INSTANTIATE_TEST_SUITE_P(
    Probe, FailedLoadTest,
    ::testing::Values(
        FailedLoad{[] { return testing::TestMediaFolder() + "/missing.avi"; }, ": no such file or directory"},
        FailedLoad{[] { return CopyOfClip(clips::kRandomBytes, "noise.bin"); }, ": Unknown format"},
        FailedLoad{[] { return CopyOfClip(clips::kMp4H264Aac, "cut.mp4", 2000); }, ": Error while parsing header"},
        // A demuxer takes the name's extension but finds no stream it can describe.
        FailedLoad{[] { return TestClipPath(clips::kRandomBytes); }, ": could not find codec parameters"}));

TEST_F(ProbeTest, AnUnknownFormatNameFailsBeforeAnythingIsOpened) {
    EXPECT_FALSE(probe_.LoadFile(TestClipPath(clips::kWavPcm), "no-such-format"));
    EXPECT_EQ(probe_.LastError(), "Unknown input format: no-such-format");
    ExpectNoFile(probe_);
}

TEST_F(ProbeTest, CountsTheStreamsOfEachKindAndFindsTheFirst) {
    const std::string path = TestClipPath(clips::kMkvTwoAudioSubtitles);
    ASSERT_TRUE(probe_.LoadFile(path, "matroska")) << probe_.LastError();
    EXPECT_TRUE(probe_.OwnsContext());
    EXPECT_EQ(probe_.FormatName(), "matroska");
    EXPECT_EQ(probe_.StreamCount(), 4);
    EXPECT_EQ(probe_.ProgramCount(), 0);
    EXPECT_EQ(probe_.VideoStreamCount(), 1);
    EXPECT_EQ(probe_.FirstVideoStream(), 0);
    EXPECT_EQ(probe_.AudioStreamCount(), 2);
    EXPECT_EQ(probe_.FirstAudioStream(), 1);
    EXPECT_EQ(probe_.SubtitleStreamCount(), 1);
    EXPECT_EQ(probe_.FirstSubtitleStream(), 3);

    probe_.Close();
    ExpectNoFile(probe_);
    EXPECT_EQ(probe_.FormatName(), "");
}

// A cover is a still of the whole file: no video stream, no picture size, no frame rate.
TEST_F(ProbeTest, CoversCountAsNoKindOfStream) {
    const struct {
        const char* clip;
        int streams;
        int video_streams;
        int first_video;
        int first_audio;
    } cases[] = {
        {clips::kMp3CoverTags, 2, 0, -1, 0},
        {clips::kFlacCoverTags, 2, 0, -1, 0},
        {clips::kMp4VideoCover, 3, 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clip);
        ASSERT_TRUE(probe_.LoadFile(TestClipPath(c.clip))) << probe_.LastError();
        EXPECT_EQ(probe_.StreamCount(), c.streams);
        EXPECT_EQ(probe_.VideoStreamCount(), c.video_streams);
        EXPECT_EQ(probe_.FirstVideoStream(), c.first_video);
        EXPECT_EQ(probe_.AudioStreamCount(), 1);
        EXPECT_EQ(probe_.FirstAudioStream(), c.first_audio);
        EXPECT_EQ(probe_.SubtitleStreamCount(), 0);
    }
    TVideoStreamInfo video;
    probe_.GetVideoStreamInfo(video);
    EXPECT_EQ(video.Width, 160) << "the film's own pictures, not its cover";
}

// Tags under today's generic names: "artist" is the Author, the year leads "date".
TEST_F(ProbeTest, ReadsTheTagsOfMusicFiles) {
    for (const char* clip : {clips::kMp3CoverTags, clips::kM4aCoverTags, clips::kFlacCoverTags}) {
        SCOPED_TRACE(clip);
        ASSERT_TRUE(probe_.LoadFile(TestClipPath(clip)));
        TFileStreamInfo info;
        probe_.GetFileStreamInfo(info);
        EXPECT_EQ(info.Title, "Test Tone in A");
        EXPECT_EQ(info.Author, "The Generators");
        EXPECT_EQ(info.Album, "Synthetic Sounds");
        EXPECT_EQ(info.Comment, "written by brenvale-mediagen");
        EXPECT_EQ(info.Genre, "Electronic");
        EXPECT_EQ(info.Year, 2009);
        EXPECT_EQ(info.Track, 3);
    }
}

TEST_F(ProbeTest, DescribesTheContainer) {
    ASSERT_TRUE(probe_.LoadFile(TestClipPath(clips::kMp4H264Aac)));
    TFileStreamInfo info;
    probe_.GetFileStreamInfo(info);
    EXPECT_EQ(info.StartTime, 0);
    EXPECT_NEAR(info.Duration, 2000000, 100000);
    EXPECT_GT(info.BitRate, 0);
    EXPECT_EQ(info.Year, 0);
    EXPECT_EQ(info.Track, 0);
    EXPECT_EQ(info.Title, "");
}

TEST_F(ProbeTest, AContainerWithoutDurationReportsMinusOne) {
    ASSERT_TRUE(probe_.LoadFile(TestClipPath(clips::kUnknownDuration)));
    TFileStreamInfo info;
    probe_.GetFileStreamInfo(info);
    EXPECT_EQ(info.Duration, -1);
    TVideoStreamInfo video;
    probe_.GetVideoStreamInfo(video);
    EXPECT_EQ(video.DurationUS, -1);
    EXPECT_EQ(video.Width, 160);
}

TEST_F(ProbeTest, DescribesTheFirstVideoStream) {
    ASSERT_TRUE(probe_.LoadFile(TestClipPath(clips::kNtscRate)));
    TVideoStreamInfo info;
    probe_.GetVideoStreamInfo(info);
    EXPECT_EQ(info.CodecDesc, "h264(H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10)");
    EXPECT_EQ(info.Width, 160);
    EXPECT_EQ(info.Height, 120);
    EXPECT_EQ(info.PixFmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(info.FrameRateNum, 30000);
    EXPECT_EQ(info.FrameRateDen, 1001);
    EXPECT_NEAR(info.DurationUS, 2002000, 40000);
    EXPECT_GE(info.StartTimeUS, 0);
}

struct VideoStreamRefusal {
    const char* clip;
    int index;
    std::string error;
};
void PrintTo(const VideoStreamRefusal& refusal, std::ostream* out) { *out << refusal.error; }

class VideoStreamRefusalTest : public ProbeTest, public ::testing::WithParamInterface<VideoStreamRefusal> {};

TEST_P(VideoStreamRefusalTest, LeavesTheRecordResetAndLogsTheReason) {
    const VideoStreamRefusal& refusal = GetParam();
    if (*refusal.clip) {
        ASSERT_TRUE(probe_.LoadFile(TestClipPath(refusal.clip)));
    }
    TVideoStreamInfo info;
    info.Width = 99;
    info.CodecDesc = "stale";
    probe_.GetVideoStreamInfo(refusal.index, info);

    EXPECT_EQ(probe_.LastError(), refusal.error);
    EXPECT_EQ(info.Width, -1);
    EXPECT_EQ(info.CodecDesc, "");
    EXPECT_EQ(info.AspectRatio, -1.0f);
    EXPECT_EQ(LogLines().back(), refusal.error + "\n");
}

INSTANTIATE_TEST_SUITE_P(Probe, VideoStreamRefusalTest,
                         ::testing::Values(VideoStreamRefusal{"", -1, "file not loaded."},
                                           VideoStreamRefusal{clips::kWavPcm, -1, "no video stream."},
                                           VideoStreamRefusal{clips::kMp4H264Aac, 2, "stream index #2 is invalid."},
                                           VideoStreamRefusal{clips::kMp4H264Aac, 1, "stream #1 is not video stream."},
                                           VideoStreamRefusal{clips::kMp3CoverTags, -1, "no video stream."},
                                           VideoStreamRefusal{clips::kMp4VideoCover, 2, "stream #2 is not video stream."}));

TEST_F(ProbeTest, WithoutAFileTheContainerRecordStaysReset) {
    TFileStreamInfo info;
    info.Duration = 5;
    info.Title = "stale";
    probe_.GetFileStreamInfo(info);
    EXPECT_EQ(info.Duration, -1);
    EXPECT_EQ(info.BitRate, -1);
    EXPECT_EQ(info.Title, "");
    EXPECT_EQ(probe_.LastError(), "file not loaded.");
}

// A context built in memory: a stream whose facts the test chooses.
class AttachedStreamTest : public ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        context_ = ff::avformat_alloc_context();
        stream_ = ff::avformat_new_stream(context_, nullptr);
        stream_->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        stream_->codecpar->width = 720;
        stream_->codecpar->height = 576;
        stream_->time_base = AVRational{1, 90000};
        stream_->start_time = AV_NOPTS_VALUE;
        stream_->duration = 180000;
        probe_.Attach(context_);
    }
    void TearDown() override {
        probe_.Close();
        ff::avformat_free_context(context_);
        ProbeTest::TearDown();
    }

    TVideoStreamInfo Describe() {
        TVideoStreamInfo info;
        probe_.GetVideoStreamInfo(0, info);
        return info;
    }

    AVFormatContext* context_ = nullptr;
    AVStream* stream_ = nullptr;
};

TEST_F(AttachedStreamTest, DisplayAspectComesFromTheSampleAspect) {
    stream_->codecpar->sample_aspect_ratio = AVRational{16, 15};
    EXPECT_EQ(Describe().AspectRatio, 1.3333334f);
    stream_->codecpar->sample_aspect_ratio = AVRational{0, 1};
    EXPECT_EQ(Describe().AspectRatio, 0.0f);
    stream_->codecpar->sample_aspect_ratio = AVRational{1, 0};
    EXPECT_EQ(Describe().AspectRatio, 0.0f) << "an undefined aspect is reported as none";
}

TEST_F(AttachedStreamTest, TimesInMicrosecondsAreMinusOneWhenUnknown) {
    const TVideoStreamInfo info = Describe();
    EXPECT_EQ(info.StartTimeUS, -1);
    EXPECT_EQ(info.Duration, 180000);
    EXPECT_EQ(info.DurationUS, 2000000);
}

struct CodecCase {
    AVCodecID id;
    std::uint32_t tag;
    std::string description;
};
void PrintTo(const CodecCase& codec, std::ostream* out) { *out << codec.description; }

class CodecDescriptionTest : public AttachedStreamTest, public ::testing::WithParamInterface<CodecCase> {};

TEST_P(CodecDescriptionTest, NamesTheCodec) {
    stream_->codecpar->codec_id = GetParam().id;
    stream_->codecpar->codec_tag = GetParam().tag;
    EXPECT_EQ(Describe().CodecDesc, GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    Probe, CodecDescriptionTest,
    ::testing::Values(CodecCase{AV_CODEC_ID_MPEG4, 0, "mpeg4(MPEG-4 part 2)"},
                      CodecCase{AV_CODEC_ID_MPEG2TS, 0, "mpeg2ts"},
                      // Encoder only: known to the libraries, no decoder.
                      CodecCase{AV_CODEC_ID_A64_MULTI, 0, "a64_multi"},
                      CodecCase{AV_CODEC_ID_NONE, MKTAG('X', 'V', 'I', 'D'), "XVID / 0x44495658"},
                      CodecCase{AV_CODEC_ID_NONE, 0x00013A07, "0x13a07"}));

TEST_F(ProbeTest, CloseAfterAttachLeavesTheContextOpen) {
    AVFormatContext* context = nullptr;
    ASSERT_GE(OpenLibraryInput(&context, TestClipPath(clips::kMp4H264Aac), nullptr, nullptr), 0);
    ASSERT_GE(ff::avformat_find_stream_info(context, nullptr), 0);
    probe_.Attach(context);
    EXPECT_FALSE(probe_.OwnsContext());
    EXPECT_EQ(probe_.StreamCount(), 2);
    probe_.Close();

    AVPacket* packet = ff::av_packet_alloc();
    EXPECT_GE(ff::av_read_frame(context, packet), 0) << "the context is still the owner's";
    ff::av_packet_free(&packet);
    CloseLibraryInput(&context);
}

// Each test runs in a process of its own under CTest, so the libraries may be missing here.
TEST(ProbeWithoutLibrariesTest, LoadAndAttachRaise) {
    if (Loader().IsLibraryLoaded(LibraryId::AvCodec)) GTEST_SKIP() << "libraries already loaded in this process";
    TAVProbe probe;
    EXPECT_THROW(
        {
            try {
                probe.LoadFile("any.avi");
            } catch (const EAVProbeError& error) {
                EXPECT_STREQ(error.what(), "LibAVCodec not loaded.");
                throw;
            }
        },
        EAVProbeError);
    EXPECT_THROW(probe.Attach(nullptr), EAVProbeError);
}

}  // namespace
}  // namespace brenvale
