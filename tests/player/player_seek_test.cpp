// Seeking real files with key frames far apart, in every common container: the first picture
// after a seek is the one at the target, playback goes on to the end, and no operation waits
// forever on a seek that is under way.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/player/player_fixture.h"
#include "tests/support/test_media.h"
#include "tools/player_clips.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using testing::EventRecord;
using testing::RecordingPresenter;
using testing::TestClipPath;
using testing::WaitFor;
namespace clips = mediagen::clips;

constexpr std::int64_t kClipDurationUs = 4'000'000;
constexpr std::int64_t kFrameUs = 40'000;
// No key frame between it and the end of the clip: a forward search finds none.
constexpr std::int64_t kTargetUs = 3'000'000;

class PlayerSeekTest : public testing::PlayerTest {
protected:
    void SetUp() override {
        testing::Record(player_, record_);
        player_.Hook = true;
        player_.OnHook = [this](TCustomPlayer&, TBitmap&, std::int64_t pts) {
            const std::lock_guard<std::mutex> lock(record_.mutex);
            picture_times_.push_back(pts);
        };
    }

    std::vector<std::int64_t> PictureTimes() {
        const std::lock_guard<std::mutex> lock(record_.mutex);
        return picture_times_;
    }
    std::vector<std::int64_t> Positions() {
        const std::lock_guard<std::mutex> lock(record_.mutex);
        return record_.positions;
    }
    std::size_t PositionCount() { return Positions().size(); }

    TFFPlayer player_;
    EventRecord record_;
    RecordingPresenter presenter_;
    std::vector<std::int64_t> picture_times_;  // guarded by record_.mutex
};

class PlayerSeekContainerTest : public PlayerSeekTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PlayerSeekContainerTest, LandsOnTheTargetAndPlaysToTheEnd) {
    ASSERT_TRUE(player_.Open(TestClipPath(GetParam()), &presenter_)) << player_.LastError();
    ASSERT_TRUE(WaitFor([&] { return player_.CurrentPosition() > 200'000; }));
    const std::size_t positions_before = PositionCount();
    player_.Seek(kTargetUs);
    ASSERT_TRUE(WaitFor([&] { return record_.CountState(TPlayState::psEnd) > 0; }));
    player_.Close(true);

    const std::vector<std::int64_t> times = PictureTimes();
    const auto first_after = std::find_if(times.begin(), times.end(), [](std::int64_t t) { return t > 1'500'000; });
    ASSERT_NE(first_after, times.end());
    EXPECT_GE(*first_after, kTargetUs - 1'000) << "nothing before the target is shown";
    EXPECT_LT(*first_after, kTargetUs + kFrameUs) << "the picture at the target is";
    EXPECT_EQ(times.end() - first_after, (kClipDurationUs - kTargetUs) / kFrameUs) << "every picture to the end";

    // Positions from the seek on (one computed just before it may still arrive after it).
    const std::vector<std::int64_t> positions = Positions();
    const auto seek = std::find_if(positions.begin() + static_cast<std::ptrdiff_t>(positions_before),
                                   positions.end(), [](std::int64_t p) { return p > 1'500'000; });
    ASSERT_NE(seek, positions.end());
    const std::vector<std::int64_t> after(seek, positions.end());
    EXPECT_NEAR(static_cast<double>(after.front()), kTargetUs, 100'000);
    // A picture shown late on a loaded machine sets the clock back to its own time, by less
    // than a few pictures; never to the key frame the decoding started from.
    const auto backwards = std::adjacent_find(after.begin(), after.end(),
                                              [](std::int64_t a, std::int64_t b) { return b < a - 5 * kFrameUs; });
    if (backwards != after.end())
        ADD_FAILURE() << "positions after the seek go back: " << *backwards << " then " << *(backwards + 1);
    EXPECT_EQ(after.back(), record_.duration);
    EXPECT_NEAR(static_cast<double>(record_.duration), kClipDurationUs, 100'000);
}

INSTANTIATE_TEST_SUITE_P(Containers, PlayerSeekContainerTest,
                         ::testing::Values(clips::kSparseKeysMp4, clips::kSparseKeysMkv, clips::kSparseKeysWebm,
                                           clips::kSparseKeysOgg, clips::kSparseKeysAvi, clips::kSparseKeysMpeg),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST_F(PlayerSeekTest, BeyondTheDurationShowsTheLastPictureAndEnds) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kSparseKeysMp4), &presenter_)) << player_.LastError();
    ASSERT_TRUE(WaitFor([&] { return player_.CurrentPosition() > 100'000; }));
    player_.Seek(60'000'000);
    ASSERT_TRUE(WaitFor([&] { return record_.CountState(TPlayState::psEnd) > 0; }));
    player_.Close(true);
    const std::vector<std::int64_t> times = PictureTimes();
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.back(), kClipDurationUs - kFrameUs);
    EXPECT_LT(times.size(), 20u) << "the pictures in between are not shown";
    EXPECT_EQ(Positions().back(), record_.duration);
}

TEST_F(PlayerSeekTest, WhilePausedShowsThePictureAtTheTargetAndStaysPaused) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kSparseKeysAvi), &presenter_)) << player_.LastError();
    ASSERT_TRUE(WaitFor([&] { return player_.CurrentPosition() > 200'000; }));
    player_.TogglePause();
    player_.Seek(kTargetUs);
    std::int64_t shown = -1;
    EXPECT_TRUE(WaitFor([&] {
        player_.GetCurrentFrame(shown);
        return shown >= kTargetUs;
    }));
    EXPECT_EQ(shown, kTargetUs);
    EXPECT_TRUE(player_.Paused());
    testing::Pause(300ms);
    EXPECT_EQ(PictureTimes().back(), kTargetUs) << "no picture after it while paused";
    EXPECT_EQ(player_.CurrentPosition(), kTargetUs);
    player_.Close(true);
}

TEST_F(PlayerSeekTest, SoundAloneLandsOnTheTarget) {
    const std::string path = TestClipPath(clips::kWavPcm);  // 2 s of 44.1 kHz PCM
    std::atomic<bool> ended{false};
    TClockReading at_end;
    player_.OnState = [&](TCustomPlayer& sender, TPlayState state) {
        if (state != TPlayState::psEnd || ended) return;
        at_end = sender.ReadClocks();
        ended = true;
    };
    ASSERT_TRUE(player_.Open(path, &presenter_)) << player_.LastError();
    ASSERT_TRUE(WaitFor([&] { return player_.CurrentPosition() > 100'000; }));
    const std::size_t before = PositionCount();
    player_.Seek(1'500'000);
    ASSERT_TRUE(WaitFor([&] { return ended.load(); }));
    player_.Close(true);
    const std::vector<std::int64_t> positions = Positions();
    ASSERT_GT(positions.size(), before + 2);
    for (std::size_t i = before; i < positions.size(); ++i) EXPECT_GE(positions[i], 1'500'000) << i;
    EXPECT_EQ(positions.back(), record_.duration);
    // What played: what came before the seek, then exactly the last half second.
    EXPECT_GE(at_end.samples_played, 22'050);
    EXPECT_LE(at_end.samples_played, 22'050 + 44'100 / 2);
}

// The window thread's waits serve the pipeline's hand-offs: here the decoding thread waits to
// deliver its end-of-file log line while the seek it must serve is pending.
TEST_F(PlayerSeekTest, PauseWhileASeekIsPendingReturns) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kOddSize), &presenter_)) << player_.LastError();
    std::this_thread::sleep_for(300ms);  // without serving: the log line waits for this thread
    player_.Seek(500'000);
    const auto started = std::chrono::steady_clock::now();
    player_.TogglePause();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_TRUE(player_.Paused());
    EXPECT_EQ(record_.CountState(TPlayState::psPause), 1);
    player_.TogglePause();
    player_.Close(true);
}

TEST_F(PlayerSeekTest, PauseAfterASeekAndACloseReturns) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kSparseKeysMp4), &presenter_)) << player_.LastError();
    player_.Seek(kTargetUs);
    player_.Close(false);
    const auto started = std::chrono::steady_clock::now();
    player_.TogglePause();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_EQ(record_.CountState(TPlayState::psPause), 0) << "a closing file is not paused";
    player_.Close(true);
    EXPECT_FALSE(player_.Playing());
}

// A play window that starts between key frames loops from its start, not from the key frame
// after it (which lies beyond its end).
TEST_F(PlayerSeekTest, PlayWindowBetweenKeyFramesLoopsFromItsStart) {
    constexpr std::int64_t kStart = 1'000'000, kLength = 400'000;
    player_.StartTime = kStart;
    player_.PlayLength = kLength;
    player_.EndAction = 2;
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kSparseKeysMkv), &presenter_)) << player_.LastError();
    const auto starts = [&] {
        const std::vector<std::int64_t> times = PictureTimes();
        return std::count_if(times.begin(), times.end(), [](std::int64_t t) { return t < kStart + kFrameUs; });
    };
    EXPECT_TRUE(WaitFor([&] { return starts() >= 3; }, 8s)) << starts();
    player_.Close(true);
    const std::vector<std::int64_t> times = PictureTimes();
    ASSERT_FALSE(times.empty());
    EXPECT_LT(times.front(), kStart + kFrameUs);
    for (std::int64_t t : times) {
        EXPECT_GE(t, kStart);
        EXPECT_LE(t, kStart + kLength + 3 * kFrameUs);
    }
}

}  // namespace
}  // namespace brenvale
