// Which streams of a file play, by the Wanted counters and the Disable flags.
#include <gtest/gtest.h>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "binding/unicode_io.h"
#include "player/decode_thread.h"
#include "tests/support/test_media.h"

namespace brenvale::player {
namespace {

using brenvale::testing::TestClipPath;
namespace clips = mediagen::clips;

class PlayerStreamsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Loader().LoadLibrarySet(kPlayerLibraries)) << Loader().LastError(); }

    ChosenStreams Choose(const char* clip, WantedStreams wanted) {
        AVFormatContext* context = nullptr;
        EXPECT_GE(OpenLibraryInput(&context, TestClipPath(clip), nullptr, nullptr), 0);
        EXPECT_GE(ff::avformat_find_stream_info(context, nullptr), 0);
        const ChosenStreams chosen = ChooseStreams(*context, wanted);
        for (unsigned i = 0; i < context->nb_streams; ++i) EXPECT_EQ(context->streams[i]->discard, AVDISCARD_ALL);
        CloseLibraryInput(&context);
        return chosen;
    }
};

TEST_F(PlayerStreamsTest, CountersPickTheNthStreamOfEachKind) {
    struct Case {
        const char* name;
        const char* clip;
        WantedStreams wanted;
        ChosenStreams expected;
    };
    // The mkv clip holds video 0, audio 1 and 2, subtitles 3; the mp4 clip video 0, audio 1;
    // the music clip audio 0 and a cover 1, the film video 0, audio 1 and a cover 2.
    const Case cases[] = {
        {"defaults", clips::kMkvTwoAudioSubtitles, {}, {1, 0, -1}},
        {"second audio", clips::kMkvTwoAudioSubtitles, {1, 0, -1}, {2, 0, -1}},
        {"beyond the last audio plays the last", clips::kMkvTwoAudioSubtitles, {2, 0, -1}, {2, 0, -1}},
        {"first subtitles", clips::kMkvTwoAudioSubtitles, {0, 0, 0}, {1, 0, 3}},
        {"video disabled leaves subtitles out", clips::kMkvTwoAudioSubtitles, {0, 0, 0, false, true}, {1, -1, -1}},
        {"audio disabled", clips::kMkvTwoAudioSubtitles, {0, 0, -1, true, false}, {-1, 0, -1}},
        {"no video wanted", clips::kMp4H264Aac, {0, -1, -1}, {1, -1, -1}},
        {"one audio stream plays for counter 1", clips::kMp4H264Aac, {1, 0, -1}, {1, 0, -1}},
        {"a cover is no video", clips::kMp3CoverTags, {}, {0, -1, -1}},
        {"a cover is never the second video", clips::kMp4VideoCover, {0, 1, -1}, {1, 0, -1}},
    };
    for (const Case& c : cases) {
        const ChosenStreams chosen = Choose(c.clip, c.wanted);
        EXPECT_EQ(chosen.audio, c.expected.audio) << c.name;
        EXPECT_EQ(chosen.video, c.expected.video) << c.name;
        EXPECT_EQ(chosen.subtitle, c.expected.subtitle) << c.name;
    }
}

}  // namespace
}  // namespace brenvale::player
