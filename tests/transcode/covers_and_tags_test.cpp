// Music with a cover and tags, and a film with a cover, converted to the kinds of output users
// pick: a cover is never video, stays where the format stores covers, and the tags come along
// where the container holds them.
#include <algorithm>
#include <ostream>
#include <vector>

#include "engine/custom_ffmpeg.h"
#include "probe/av_probe.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"
#include "tools/tagged_clips.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

struct CoverCase {
    const char* name;
    const char* source;
    const char* output;
    OptionList options;
    const char* cover = nullptr;    // codec of the cover kept; nullptr: the format stores none
    std::vector<const char*> tags;  // the tags the container holds
    double seconds = 1.0;           // of sound
    int video_width = 0;            // 0: no video
    bool preview = false;           // preview pictures on, as the window converts
};

std::ostream& operator<<(std::ostream& out, const CoverCase& entry) { return out << entry.name; }

const std::vector<const char*> kAllTags = {"title", "artist", "album", "date", "comment", "track", "genre"};

const CoverCase kCases[] = {
    {.name = "Mp3ToMp3",
     .source = clips::kMp3CoverTags,
     .output = "out.mp3",
     .options = {{"acodec", "libmp3lame"}, {"vn", "1"}},
     .cover = "mjpeg",
     .tags = kAllTags},
    // An output start: the cover belongs to the whole file.
    {.name = "Mp3ToMp3FromTheMiddle",
     .source = clips::kMp3CoverTags,
     .output = "out.mp3",
     .options = {{"acodec", "libmp3lame"}, {"ss", "0.5"}},
     .cover = "mjpeg",
     .tags = kAllTags,
     .seconds = 0.5},
    // A video codec asked for an input without pictures makes no video stream, even with previews.
    {.name = "Mp3ToMp4",
     .source = clips::kMp3CoverTags,
     .output = "out.mp4",
     .options = {{"vcodec", "mpeg4"}, {"acodec", "aac"}},
     .cover = "mjpeg",
     .tags = kAllTags,
     .preview = true},
    {.name = "FlacToM4a",
     .source = clips::kFlacCoverTags,
     .output = "out.m4a",
     .options = {{"acodec", "aac"}},
     .cover = "png",
     .tags = kAllTags},
    {.name = "M4aToFlac",
     .source = clips::kM4aCoverTags,
     .output = "out.flac",
     .options = {},
     .cover = "png",
     .tags = kAllTags},
    {.name = "Mp3ToFlv",
     .source = clips::kMp3CoverTags,
     .output = "out.flv",
     .options = {{"vcodec", "flv"}, {"acodec", "libmp3lame"}},
     .tags = kAllTags},
    {.name = "Mp3ToWmv",
     .source = clips::kMp3CoverTags,
     .output = "out.wmv",
     .options = {{"vcodec", "wmv2"}, {"acodec", "wmav2"}},
     .tags = kAllTags},
    {.name = "Mp3ToAvi",
     .source = clips::kMp3CoverTags,
     .output = "out.avi",
     .options = {{"vcodec", "mpeg4"}, {"acodec", "mp2"}},
     .tags = {"title", "artist", "date", "comment", "track", "genre"}},
    // QuickTime files store no cover.
    {.name = "Mp3ToMov",
     .source = clips::kMp3CoverTags,
     .output = "out.mov",
     .options = {{"vcodec", "mpeg4"}, {"acodec", "aac"}},
     .tags = {"title", "artist", "album", "date", "comment", "genre"}},
    // The film's own pictures, not its cover's size and 90000 frames a second.
    {.name = "FilmToAvi",
     .source = clips::kMp4VideoCover,
     .output = "out.avi",
     .options = {{"vcodec", "mpeg4"}, {"acodec", "mp2"}},
     .tags = {"title"},
     .video_width = 160},
    {.name = "FilmToMp4",
     .source = clips::kMp4VideoCover,
     .output = "out.mp4",
     .options = {{"vcodec", "mpeg4"}, {"acodec", "aac"}},
     .cover = "png",
     .tags = {"title"},
     .video_width = 160,
     .preview = true},
};

class CoverTest : public TranscodeTest, public ::testing::WithParamInterface<CoverCase> {};

TEST_P(CoverTest, ReadsBackWithItsCoverAndTags) {
    const CoverCase& entry = GetParam();
    const std::string output = PathOf(entry.output);
    JobSpec job = Convert(TestClipPath(entry.source), output, entry.options);
    if (entry.preview) job.before_start = [](TCustomFFmpeg& engine) { engine.set_preview_flags(kPreviewBitmap); };
    const JobOutcome outcome = RunJob(job);
    ASSERT_TRUE(outcome.opened) << outcome.exception_message;
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;

    const MediaReport report = ReadMedia(output);
    ASSERT_TRUE(report.Opened());
    const auto video = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    const auto audio = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    const auto covers = report.Covers();
    ASSERT_EQ(audio.size(), 1u);
    EXPECT_EQ(audio[0].decode_errors, 0);
    EXPECT_NEAR(static_cast<double>(audio[0].samples) / audio[0].sample_rate, entry.seconds, 0.06);
    if (entry.video_width > 0) {
        ASSERT_EQ(video.size(), 1u);
        EXPECT_EQ(video[0].width, entry.video_width);
        EXPECT_EQ(video[0].frames, 25);
        EXPECT_EQ(av_q2d(video[0].frame_rate), 25.0);
    } else {
        EXPECT_TRUE(video.empty());
    }
    if (entry.cover) {
        const mediagen::CoverSpec& source = *mediagen::StandardClip(entry.source).cover;
        ASSERT_EQ(covers.size(), 1u);
        EXPECT_EQ(covers[0].codec, entry.cover);
        EXPECT_EQ(covers[0].width, source.width);
        EXPECT_EQ(covers[0].height, source.height);
        EXPECT_EQ(covers[0].frames, 1);
        EXPECT_EQ(covers[0].decode_errors, 0);
    } else {
        EXPECT_TRUE(covers.empty());
    }
    const mediagen::TagList& source_tags = mediagen::MusicTags();
    for (const char* key : entry.tags) {
        const auto tag = std::find_if(source_tags.begin(), source_tags.end(),
                                      [&](const auto& pair) { return pair.first == key; });
        EXPECT_EQ(report.Tag(key), tag->second) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, CoverTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The names the records write are those today's muxers and demuxers know: a WMV output's
// author and year read back.
TEST_F(TranscodeTest, RecordTagsReadBackThroughTheProbe) {
    const std::string output = PathOf("out.wmv");
    const JobOutcome outcome = RunJob(Convert(TestClipPath(clips::kMp4H264Aac), output,
                                              {{"vcodec", "wmv2"},
                                               {"acodec", "wmav2"},
                                               {"metadata", "artist=Somebody"},
                                               {"metadata", "date=2001"},
                                               {"metadata", "title=Holiday"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    TAVProbe probe;
    ASSERT_TRUE(probe.LoadFile(output));
    TFileStreamInfo info;
    probe.GetFileStreamInfo(info);
    EXPECT_EQ(info.Author, "Somebody");
    EXPECT_EQ(info.Year, 2001);
    EXPECT_EQ(info.Title, "Holiday");
}

}  // namespace
}  // namespace brenvale::testing
