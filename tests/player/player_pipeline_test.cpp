// What reaches the screen and the speaker: every picture and every sample of a file, sound
// and pictures in step when the file stores its sound ahead, and settings made between a
// close and the next open.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "tests/player/player_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/player_clips.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using testing::RecordingPresenter;
using testing::TestClipPath;
using testing::WaitFor;
namespace clips = mediagen::clips;

struct DecodedCounts {
    std::int64_t pictures = 0;
    std::int64_t samples = 0;
};

// What the libraries decode from the file, read straight through.
DecodedCounts Decoded(const std::string& path) {
    DecodedCounts counts;
    const testing::MediaReport report = testing::ReadMedia(path);
    for (const testing::StreamReport& stream : report.StreamsOf(AVMEDIA_TYPE_VIDEO)) counts.pictures += stream.frames;
    for (const testing::StreamReport& stream : report.StreamsOf(AVMEDIA_TYPE_AUDIO)) counts.samples += stream.samples;
    return counts;
}

class PlayerPipelineTest : public testing::PlayerTest, public ::testing::WithParamInterface<const char*> {};

// Counted when the player reports the end: the decoders were drained and nothing was cut.
TEST_P(PlayerPipelineTest, EveryPictureAndEverySampleIsPlayed) {
    const std::string path = TestClipPath(GetParam());
    const DecodedCounts expected = Decoded(path);
    TFFPlayer player;
    RecordingPresenter presenter;
    std::atomic<bool> ended{false};
    TClockReading at_end;
    player.OnState = [&](TCustomPlayer& sender, TPlayState state) {
        if (state != TPlayState::psEnd || ended) return;
        at_end = sender.ReadClocks();
        ended = true;
    };
    ASSERT_TRUE(player.Open(path, &presenter)) << player.LastError();
    EXPECT_TRUE(WaitFor([&] { return ended.load(); }));
    player.Close(true);
    EXPECT_EQ(at_end.pictures_shown, expected.pictures);
    EXPECT_EQ(at_end.samples_played, expected.samples);
}

INSTANTIATE_TEST_SUITE_P(Clips, PlayerPipelineTest,
                         ::testing::Values(clips::kMp4H264Aac, clips::kSparseKeysOgg, clips::kAviPcmAhead,
                                           clips::kWavPcm, clips::kOddSize),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// Half a second of sound stored ahead of the pictures fills the sound queue first; the
// pictures must not run dry meanwhile.
TEST_F(PlayerPipelineTest, PicturesKeepUpWithSoundStoredAheadOfThem) {
    TFFPlayer player;
    RecordingPresenter presenter;
    std::atomic<int> ends{0};
    player.OnState = [&](TCustomPlayer&, TPlayState state) { ends += state == TPlayState::psEnd; };
    ASSERT_TRUE(player.Open(TestClipPath(clips::kAviPcmAhead), &presenter)) << player.LastError();
    std::vector<double> offsets;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!WaitFor([&] { return ends > 0; }, 50ms) && std::chrono::steady_clock::now() < deadline) {
        const TClockReading clocks = player.ReadClocks();
        if (clocks.video > 1.0 && clocks.video < 3.8) offsets.push_back(std::fabs(clocks.audio - clocks.video));
    }
    ASSERT_GT(offsets.size(), 20u);
    std::sort(offsets.begin(), offsets.end());
    EXPECT_LT(offsets[offsets.size() / 2], 0.045) << "median picture-to-sound offset";
    // The end is reported at the refresh rate of a still picture, not at every poll.
    const int ends_then = ends;
    testing::Pause(500ms);
    EXPECT_LE(ends - ends_then, 20);
    player.Close(true);
}

TEST_F(PlayerPipelineTest, StartTimeSetAfterACloseAppliesToTheNextOpen) {
    TFFPlayer player;
    RecordingPresenter presenter;
    std::mutex mutex;
    std::vector<std::int64_t> times;
    player.Hook = true;
    player.OnHook = [&](TCustomPlayer&, TBitmap&, std::int64_t pts) {
        const std::lock_guard<std::mutex> lock(mutex);
        times.push_back(pts);
    };
    const std::string path = TestClipPath(clips::kSparseKeysMp4);
    ASSERT_TRUE(player.Open(path, &presenter)) << player.LastError();
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 100'000; }));
    player.Close(false);
    player.StartTime = 1'000'000;
    ASSERT_TRUE(player.Open(path, &presenter)) << player.LastError();
    EXPECT_EQ(player.StartTime, 1'000'000);
    ASSERT_TRUE(WaitFor([&] { return player.CurrentPosition() > 1'100'000; }));
    player.Close(true);
    const std::lock_guard<std::mutex> lock(mutex);
    const auto second = std::find_if(times.begin(), times.end(), [](std::int64_t t) { return t > 500'000; });
    ASSERT_NE(second, times.end());
    EXPECT_EQ(*second, 1'000'000) << "the second file starts at StartTime";
    EXPECT_EQ(std::adjacent_find(times.begin(), second, std::greater<>()), second) << "and not from its start";
}

}  // namespace
}  // namespace brenvale
