// Every standard clip, read back from the generated folder, holds what its description says.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>

#include "binding/library_loader.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"

namespace brenvale::mediagen {

// Test names and failure messages show the clip's name.
void PrintTo(const ClipDescription& clip, std::ostream* out) { *out << clip.name; }

namespace {

using brenvale::testing::MediaReport;
using brenvale::testing::ReadMedia;
using brenvale::testing::StreamReport;
using brenvale::testing::TestClipPath;

class CatalogueClipTest : public ::testing::TestWithParam<ClipDescription> {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_level(AV_LOG_QUIET);
    }
};

void ExpectVideo(const VideoSpec& setup, const StreamReport& stream, bool complete) {
    EXPECT_EQ(stream.width, setup.width);
    EXPECT_EQ(stream.height, setup.height);
    EXPECT_EQ(stream.frame_rate.num, setup.frame_rate.num);
    EXPECT_EQ(stream.frame_rate.den, setup.frame_rate.den);
    if (complete) {
        EXPECT_EQ(stream.frames, setup.frame_count);
    } else {
        EXPECT_GT(stream.frames, 0);
        EXPECT_LT(stream.frames, setup.frame_count);
    }
}

void ExpectAudio(const AudioSpec& setup, const StreamReport& stream, bool complete) {
    EXPECT_EQ(stream.sample_rate, setup.sample_rate);
    EXPECT_EQ(stream.channels, setup.channels);
    if (complete) {
        EXPECT_GE(stream.samples, setup.sample_count);
        EXPECT_LE(stream.samples, setup.sample_count + setup.MaxExtraDecodedSamples());
    } else {
        EXPECT_GT(stream.samples, 0);
        EXPECT_LT(stream.samples, setup.sample_count);
    }
}

TEST_P(CatalogueClipTest, ReadsBackAsDescribed) {
    const ClipDescription& clip = GetParam();
    const MediaReport report = ReadMedia(TestClipPath(clip.name));
    if (!clip.Opens()) {
        EXPECT_FALSE(report.Opened());
        return;
    }
    ASSERT_TRUE(report.Opened()) << report.open_result;
    ASSERT_EQ(static_cast<int>(report.streams.size()), clip.StreamCount());

    const auto videos = report.StreamsOf(AVMEDIA_TYPE_VIDEO);
    ASSERT_EQ(videos.size(), clip.video ? 1u : 0u);
    if (clip.video) ExpectVideo(*clip.video, videos[0], clip.IsComplete());

    const auto audios = report.StreamsOf(AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audios.size(), clip.audio.size());
    for (std::size_t i = 0; i < audios.size(); ++i) {
        SCOPED_TRACE("audio track " + std::to_string(i));
        ExpectAudio(clip.audio[i], audios[i], clip.IsComplete());
    }

    const auto subtitles = report.StreamsOf(AVMEDIA_TYPE_SUBTITLE);
    ASSERT_EQ(subtitles.size(), clip.subtitle ? 1u : 0u);
    if (clip.subtitle) {
        EXPECT_EQ(subtitles[0].frames, static_cast<std::int64_t>(clip.subtitle->cues.size()));
    }

    const auto covers = report.Covers();
    ASSERT_EQ(covers.size(), clip.cover ? 1u : 0u);
    if (clip.cover) {
        EXPECT_EQ(covers[0].codec, clip.cover->codec);
        EXPECT_EQ(covers[0].width, clip.cover->width);
        EXPECT_EQ(covers[0].height, clip.cover->height);
        EXPECT_EQ(covers[0].frames, 1);
    }
    for (const auto& [key, value] : clip.tags) EXPECT_EQ(report.Tag(key), value) << key;

    if (!clip.IsComplete()) return;
    if (clip.flags.unknown_duration) {
        EXPECT_EQ(report.duration_us, -1);
    } else {
        EXPECT_GE(report.duration_us, clip.DurationUs());
        EXPECT_LE(report.duration_us, clip.DurationUs() + clip.DurationToleranceUs());
    }
    for (const StreamReport& stream : report.streams)
        EXPECT_EQ(stream.decode_errors, 0) << stream.codec;
}

INSTANTIATE_TEST_SUITE_P(Standard, CatalogueClipTest, ::testing::ValuesIn(StandardClips()),
                         [](const ::testing::TestParamInfo<ClipDescription>& info) {
                             return info.param.name;
                         });

TEST(CatalogueTest, NamesAndFileNamesAreUnique) {
    std::set<std::string> names;
    std::set<std::string> file_names;
    for (const ClipDescription& clip : StandardClips()) {
        EXPECT_TRUE(names.insert(clip.name).second) << clip.name;
        EXPECT_TRUE(file_names.insert(clip.file_name).second) << clip.file_name;
        EXPECT_EQ(&StandardClip(clip.name), &clip);
    }
    EXPECT_THROW(StandardClip("no such clip"), std::out_of_range);
}

}  // namespace
}  // namespace brenvale::mediagen
