#include <gtest/gtest.h>

#include <string>

#include "binding/path_utils.h"
#include "output_test_fixture.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

constexpr AVMediaType kVideo = AVMEDIA_TYPE_VIDEO;
constexpr AVMediaType kAudio = AVMEDIA_TYPE_AUDIO;
constexpr AVMediaType kSubtitle = AVMEDIA_TYPE_SUBTITLE;

using OutputFileTest = OutputTest;

TEST_F(OutputFileTest, FormatIsGuessedFromTheNameUnlessOneIsPending) {
    ASSERT_EQ(Open("out.flv"), 1) << engine_.last_error;
    EXPECT_STREQ(Output(0)->oformat->name, "flv");
    EXPECT_TRUE(FileExists(PathOf("out.flv")));
    Apply({{"f", "avi"}});
    ASSERT_EQ(Open("second.flv"), 2) << engine_.last_error;
    EXPECT_STREQ(Output(1)->oformat->name, "avi");
    EXPECT_EQ(engine_.output_format, nullptr);
}

// The format is guessed and the file written under a name the locale may not hold.
TEST_F(OutputFileTest, NamesOutsideTheLocaleReachTheDisk) {
    const std::string name = "vid\u00e9o \u65e5\u672c.avi";
    ASSERT_EQ(Open(name), 1) << engine_.last_error;
    EXPECT_STREQ(Output(0)->oformat->name, "avi");
    EXPECT_TRUE(FileExists(PathOf(name)));
}

struct FailedOpenCase {
    Options options;
    std::string file;     // in the test's folder unless it names a protocol
    std::string message;  // "%s" stands for the file name
};

void PrintTo(const FailedOpenCase& test, std::ostream* out) { *out << test.file << " " << DescribeOptions(test.options); }

class FailedOpenTest : public OutputTest, public ::testing::WithParamInterface<FailedOpenCase> {};

// Whatever step fails, the attempt leaves no output, no stream and no file behind.
TEST_P(FailedOpenTest, FailsWithItsMessageAndLeavesNothing) {
    OpenInput(clips::kMp4H264Aac);
    Apply(GetParam().options);
    const std::string& file = GetParam().file;
    const std::string name = file.find("://") != std::string::npos ? file : PathOf(file);
    std::string message = GetParam().message;
    if (const auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, name);

    EXPECT_EQ(engine_.open_output_file(name), -1);
    EXPECT_EQ(engine_.last_error.substr(0, message.size()), message);
    EXPECT_EQ(engine_.output_file_count, 0);
    EXPECT_EQ(engine_.output_codec_count, 0);
    EXPECT_EQ(Codec(0, 0), nullptr);
    EXPECT_FALSE(FileExists(name));
    EXPECT_EQ(engine_.output_format, nullptr);
}

const char kPadMessage[] =
    "Cannot enable pad options and the filters which resize frame at the same time. (crop, rotate, scale, "
    "transpose, etc.)";

INSTANTIATE_TEST_SUITE_P(
    Steps, FailedOpenTest,
    ::testing::Values(
        FailedOpenCase{{}, "out.xyz", "Unable to find a suitable output format for '%s'"},
        // The streaming-server feed does not exist in these libraries.
        FailedOpenCase{{}, "http://127.0.0.1:1/feed.ffm", "Unable to find a suitable output format for '%s'"},
        FailedOpenCase{{{"croptop", "10"}, {"vfilters", "hflip"}},
                       "out.avi",
                       "Cannot enable crop options and filters at the same time."},
        FailedOpenCase{{{"padtop", "10"}, {"vfilters", "scale=320:240"}}, "out.avi", kPadMessage},
        FailedOpenCase{{{"padtop", "10"}, {"vfilters", "hflip,Transpose=1"}}, "out.avi", kPadMessage},
        FailedOpenCase{{{"f", "webm_chunk"}}, "chunk.webm", "%s: Incorrect image filename syntax."},
        // Today's image2 no longer flags it: one file per picture needs the pattern all the same.
        FailedOpenCase{{}, "picture.jpg", "%s: Incorrect image filename syntax."},
        FailedOpenCase{{}, "missing-folder/out.avi", "Could not open '%s'"},
        FailedOpenCase{{{"vcodec", "mpeg4"}, {"acodec", "nosuch"}},
                       "out.avi",
                       "new_audio_stream fail: Unknown encoder 'nosuch'"}));

struct StreamKindsCase {
    const char* clip;  // nullptr: no input
    Options options;
    std::string file;
    std::vector<AVMediaType> expected;
};

void PrintTo(const StreamKindsCase& test, std::ostream* out) {
    *out << (test.clip ? test.clip : "no input") << " " << DescribeOptions(test.options) << " " << test.file;
}

class StreamKindsTest : public OutputTest, public ::testing::WithParamInterface<StreamKindsCase> {};

TEST_P(StreamKindsTest, CreatesTheKindsTheFormatAndTheInputsAllow) {
    const StreamKindsCase& test = GetParam();
    if (test.clip) OpenInput(test.clip);
    Apply(test.options);
    ASSERT_EQ(Open(test.file), 1) << engine_.last_error;
    EXPECT_EQ(StreamTypes(0), test.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StreamKindsTest,
    ::testing::Values(
        // The format's default video codec does not make a video stream from audio alone.
        StreamKindsCase{clips::kWavPcm, {}, "audio.flv", {kAudio}},
        StreamKindsCase{clips::kMp4H264Aac, {{"an", ""}}, "no_audio.avi", {kVideo}},
        // A codec name asks for a kind the format has no default codec for.
        StreamKindsCase{clips::kMkvTwoAudioSubtitles, {{"scodec", "subrip"}}, "subtitles.mkv",
                        {kVideo, kAudio, kSubtitle}},
        StreamKindsCase{clips::kMp4H264Aac, {{"scodec", "subrip"}}, "no_subtitles.mkv", {kVideo, kAudio}},
        StreamKindsCase{nullptr, {{"vcodec", "copy"}}, "copied.wav", {kVideo, kAudio}},
        // Pads go with filters that keep the size; a name only counts as a whole.
        StreamKindsCase{clips::kMp4H264Aac, {{"padtop", "10"}, {"vfilters", "hflip,scale2ref"}}, "padded.avi",
                        {kVideo, kAudio}}));

TEST_F(OutputFileTest, DisabledVideoIsRestoredForTheNextOutput) {
    OpenInput(clips::kMp4H264Aac);
    Apply({{"vn", ""}, {"vcodec", "mpeg4"}});
    ASSERT_EQ(Open("first.avi"), 1) << engine_.last_error;
    EXPECT_EQ(StreamTypes(0), std::vector<AVMediaType>{kAudio});
    EXPECT_FALSE(engine_.video_disable);
    // No stream consumed the codec name: it is used by the next output.
    ASSERT_EQ(Open("second.avi"), 2) << engine_.last_error;
    EXPECT_EQ(StreamTypes(1), (std::vector<AVMediaType>{kVideo, kAudio}));
    EXPECT_EQ(Codec(1, 0)->codec_id, AV_CODEC_ID_MPEG4);
}

// A failed open after a good one takes back only its own streams and encoder entries.
TEST_F(OutputFileTest, FailedOpenKeepsTheEarlierOutputsStreams) {
    OpenInput(clips::kMp4H264Aac);
    Apply({{"vcodec", "mpeg4"}});
    ASSERT_EQ(Open("kept.avi"), 1) << engine_.last_error;
    Apply({{"vcodec", "mpeg4"}, {"acodec", "nosuch"}});
    EXPECT_EQ(Open("failed.avi"), -1);
    EXPECT_EQ(engine_.output_codec_count, 2);
    EXPECT_EQ(engine_.output_codecs[2], nullptr);
    EXPECT_NE(Codec(0, 0), nullptr);
    EXPECT_EQ(Codec(1, 0), nullptr);

    Apply({{"vcodec", "mpeg4"}});
    ASSERT_EQ(Open("next.avi"), 2) << engine_.last_error;
    ASSERT_EQ(engine_.output_codec_count, 4);
    ASSERT_NE(engine_.output_codecs[2], nullptr);
    EXPECT_STREQ(engine_.output_codecs[2]->name, "mpeg4");
}

TEST_F(OutputFileTest, MetadataGoesIntoOneOutput) {
    Apply({{"metadata", "title=first"}, {"metadata", "title=second"}, {"timestamp", "2009-02-13 23:31:30Z"}});
    ASSERT_EQ(Open("tagged.mp3"), 1) << engine_.last_error;
    const AVDictionary* tags = Output(0)->metadata;
    // Of two pairs with one key the first is kept.
    EXPECT_STREQ(ff::av_dict_get(tags, "title", nullptr, 0)->value, "first");
    EXPECT_STREQ(ff::av_dict_get(tags, "creation_time", nullptr, 0)->value, "2009-02-13T23:31:30.000000Z");
    ASSERT_EQ(Open("untagged.mp3"), 2) << engine_.last_error;
    EXPECT_EQ(ff::av_dict_get(Output(1)->metadata, "title", nullptr, 0), nullptr);
}

TEST_F(OutputFileTest, MuxingParametersAndGenericOptionsReachTheMuxer) {
    Apply({{"muxdelay", "0.25"}, {"muxpreload", "0.3"}, {"packetsize", "4096"}, {"f", "mpeg"}});
    ASSERT_EQ(Open("program.mpg"), 1) << engine_.last_error;
    EXPECT_EQ(Output(0)->max_delay, 250000);
    EXPECT_EQ(Output(0)->packet_size, 4096u);
    std::int64_t preload = 0;
    ASSERT_GE(ff::av_opt_get_int(Output(0), "preload", AV_OPT_SEARCH_CHILDREN, &preload), 0);
    EXPECT_EQ(preload, 300000);
}

TEST_F(OutputFileTest, TheOutputTableLimitIsAFailedOpen) {
    for (int i = 0; i < MAX_FILES; ++i) ASSERT_EQ(Open("out" + std::to_string(i) + ".wav"), i + 1);
    EXPECT_EQ(Open("one_too_many.wav"), -1);
    EXPECT_EQ(engine_.last_error, "Too many output files (at most 20)");
    EXPECT_FALSE(FileExists(PathOf("one_too_many.wav")));
}

}  // namespace
}  // namespace brenvale::testing
