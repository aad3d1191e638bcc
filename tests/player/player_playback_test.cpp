// Playing real clips with SDL's dummy drivers: opening, the events, the picture area, the
// waveform, pausing, the play window and the snapshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/picture_converter.h"
#include "tests/player/player_fixture.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"
#include "tools/media_generator.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using testing::EventRecord;
using testing::RecordingPresenter;
using testing::TestClipPath;
using testing::WaitFor;
namespace clips = mediagen::clips;

constexpr std::uint32_t kWhite = 0xffffff;

class PlayerPlaybackTest : public testing::PlayerTest {
protected:
    void SetUp() override { testing::Record(player_, record_); }

    std::vector<std::int64_t> Positions() {
        const std::lock_guard<std::mutex> lock(record_.mutex);
        return record_.positions;
    }
    std::vector<std::string> Logs() {
        const std::lock_guard<std::mutex> lock(record_.mutex);
        return record_.logs;
    }

    TFFPlayer player_;
    EventRecord record_;
    RecordingPresenter presenter_;
};

TEST_F(PlayerPlaybackTest, MissingFileLeavesThePlayerIdle) {
    const std::string path = testing::TestMediaFolder() + "/no-such-clip.mp4";
    EXPECT_FALSE(player_.Open(path, &presenter_));
    EXPECT_EQ(player_.LastError(), path + ": no such file or directory");
    EXPECT_FALSE(player_.Playing());
    EXPECT_EQ(record_.file_opens, 0);
    EXPECT_EQ(record_.CountState(TPlayState::psPlay), 0);
    int64_t pts = 0;
    EXPECT_TRUE(player_.GetCurrentFrame(pts).Empty());
    EXPECT_EQ(pts, -1);
}

TEST_F(PlayerPlaybackTest, RandomBytesHaveNoStreamToPlay) {
    const std::string path = TestClipPath(clips::kRandomBytes);
    EXPECT_FALSE(player_.Open(path, &presenter_));
    EXPECT_EQ(player_.LastError().rfind(path + ": ", 0), 0u) << player_.LastError();
    EXPECT_FALSE(player_.Playing());
}

TEST_F(PlayerPlaybackTest, AudioOnlyFileShowsItsWaveform) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kWavPcm), &presenter_)) << player_.LastError();
    EXPECT_EQ(record_.frame_width, -1);
    EXPECT_EQ(record_.frame_height, -1);
    // A 440 Hz tone draws many columns, far more than the separator line between the bands.
    EXPECT_TRUE(WaitFor([&] { return presenter_.Count() > 5 && presenter_.CountPixels(kWhite) > 20 * 640; }, 5s))
        << presenter_.CountPixels(kWhite);
    EXPECT_EQ(presenter_.Width(), 640);
    EXPECT_EQ(presenter_.Height(), 480);
    player_.Close(true);
    EXPECT_FALSE(player_.Playing());
}

TEST_F(PlayerPlaybackTest, DisableDisplayAlsoDisablesVideo) {
    player_.DisableDisplay = true;
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kMp4H264Aac), &presenter_)) << player_.LastError();
    EXPECT_TRUE(player_.DisableVideo);
    EXPECT_EQ(record_.frame_width, -1);
    testing::Pause(300ms);
    player_.Close(true);
    EXPECT_EQ(presenter_.Count(), 0);
    EXPECT_TRUE(player_.DisableVideo) << "stays set";
}

TEST_F(PlayerPlaybackTest, FileOpenHandlerSetsThePictureArea) {
    struct Case {
        int screen_width, screen_height;
        int expected_width, expected_height;
    };
    for (const Case c : {Case{320, 240, 320, 240}, Case{0, 0, 175, 97}}) {
        TFFPlayer player;
        RecordingPresenter presenter;
        std::int64_t duration = 0;
        player.OnFileOpen = [&](TCustomPlayer&, std::int64_t d, std::int32_t, std::int32_t, std::int32_t& width,
                                std::int32_t& height) {
            duration = d;
            width = c.screen_width;
            height = c.screen_height;
        };
        ASSERT_TRUE(player.Open(TestClipPath(clips::kOddSize), &presenter)) << player.LastError();
        EXPECT_TRUE(WaitFor([&] { return presenter.Count() > 0; }, 5s));
        player.Close(true);
        EXPECT_EQ(presenter.Width(), c.expected_width);
        EXPECT_EQ(presenter.Height(), c.expected_height);
        EXPECT_EQ(duration, 1'000'000);
    }
}

TEST_F(PlayerPlaybackTest, PositionsEndOnTheContainerDuration) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kMp4H264Aac), &presenter_)) << player_.LastError();
    const std::int64_t duration = record_.duration;
    ASSERT_GT(duration, 1'900'000);
    EXPECT_EQ(record_.frame_width, 320);
    EXPECT_EQ(record_.frame_height, 240);
    EXPECT_TRUE(WaitFor([&] {
        const std::vector<std::int64_t> positions = Positions();
        return !positions.empty() && positions.back() == duration;
    }));
    EXPECT_TRUE(WaitFor([&] { return record_.CountState(TPlayState::psEnd) >= 2; })) << "repeats each refresh";
    player_.Close(true);
    const std::vector<std::int64_t> positions = Positions();
    ASSERT_GT(positions.size(), 10u);
    for (std::size_t i = 1; i + 1 < positions.size(); ++i)
        EXPECT_GT(std::llabs(positions[i] - positions[i - 1]), 10'000) << i;
    EXPECT_EQ(positions.back(), duration);
    EXPECT_EQ(record_.CountState(TPlayState::psPlay), 1);
    EXPECT_EQ(record_.CountState(TPlayState::psStop), 1);
}

TEST_F(PlayerPlaybackTest, PauseFreezesThePositionUntilResumed) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kWavPcm), &presenter_)) << player_.LastError();
    ASSERT_TRUE(WaitFor([&] { return player_.CurrentPosition() > 200'000; }));
    player_.TogglePause();
    EXPECT_TRUE(player_.Paused());
    testing::Pause(100ms);
    const std::int64_t paused_at = player_.CurrentPosition();
    testing::Pause(300ms);
    EXPECT_EQ(player_.CurrentPosition(), paused_at);
    player_.TogglePause();
    EXPECT_FALSE(player_.Paused());
    EXPECT_TRUE(WaitFor([&] { return player_.CurrentPosition() > paused_at + 100'000; }));
    player_.Close(true);
    const std::lock_guard<std::mutex> lock(record_.mutex);
    const auto pause = std::find(record_.states.begin(), record_.states.end(), TPlayState::psPause);
    ASSERT_NE(pause, record_.states.end());
    EXPECT_NE(std::find(pause, record_.states.end(), TPlayState::psResume), record_.states.end());
}

TEST_F(PlayerPlaybackTest, PlayWindowLoopsWithEndActionTwo) {
    player_.PlayLength = 700'000;
    player_.EndAction = 2;
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kMp4H264Aac), &presenter_)) << player_.LastError();
    const auto restarts = [&] {
        const std::vector<std::int64_t> positions = Positions();
        int count = 0;
        for (std::size_t i = 1; i < positions.size(); ++i) count += positions[i] + 300'000 < positions[i - 1];
        return count;
    };
    EXPECT_TRUE(WaitFor([&] { return restarts() >= 2; }, 8s));
    EXPECT_TRUE(player_.Playing());
    player_.Close(true);
    for (std::int64_t position : Positions()) EXPECT_LT(position, 1'000'000);
    EXPECT_EQ(player_.PlayLength, kNoTime) << "the per-file group is reset";
    EXPECT_EQ(player_.EndAction, 1);
}

TEST_F(PlayerPlaybackTest, PlayWindowClosesWithEndActionOne) {
    player_.PlayLength = 400'000;
    player_.StartTime = 500'000;
    player_.OnFileOpen = nullptr;
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kWavPcm), &presenter_)) << player_.LastError();
    EXPECT_TRUE(WaitFor([&] { return !player_.Playing() && record_.CountState(TPlayState::psStop) == 1; }));
    player_.Close(true);
    const std::vector<std::int64_t> positions = Positions();
    ASSERT_FALSE(positions.empty());
    EXPECT_GE(positions.front(), 450'000) << "started at StartTime";
    EXPECT_LT(positions.back(), 1'200'000);
    EXPECT_EQ(player_.StartTime, kNoTime);
}

TEST_F(PlayerPlaybackTest, ClosingFromTheStateHandlerDoesNotWait) {
    player_.OnState = [&](TCustomPlayer& sender, TPlayState state) {
        {
            const std::lock_guard<std::mutex> lock(record_.mutex);
            record_.states.push_back(state);
        }
        if (state == TPlayState::psEnd) sender.Close(true);  // must not wait for its own thread
    };
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kOddSize), &presenter_)) << player_.LastError();
    EXPECT_TRUE(WaitFor([&] { return record_.CountState(TPlayState::psStop) == 1; }));
    player_.Close(true);
    EXPECT_FALSE(player_.Playing());
}

TEST_F(PlayerPlaybackTest, SnapshotMatchesTheSourcePicture) {
    // The first decoded picture of the source, as the player's converter block sees it.
    TPictureConverter expected;
    testing::ReadMedia(TestClipPath(clips::kOddSize), [&](int, const AVFrame& frame) {
        if (frame.width > 0 && !expected.has_bitmap())
            expected.to_bitmap(TPictureRef{frame.data, frame.linesize, frame.format, frame.width, frame.height});
    });
    ASSERT_TRUE(expected.has_bitmap());
    player_.StepMode = true;
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kOddSize), &presenter_)) << player_.LastError();
    ASSERT_TRUE(WaitFor([&] { return record_.CountState(TPlayState::psPause) == 1; }));
    std::int64_t pts = -1;
    const TBitmap& frame = player_.GetCurrentFrame(pts);
    EXPECT_EQ(pts, 0);
    ASSERT_EQ(frame.Width(), 175);
    ASSERT_EQ(frame.Height(), 97);
    int worst = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width() * 3; ++x)
            worst = std::max(worst, std::abs(frame.ScanLine(y)[x] - expected.bitmap().ScanLine(y)[x]));
    EXPECT_LE(worst, 2);
    EXPECT_FALSE(player_.StepMode);
    player_.Close(true);
    EXPECT_TRUE(player_.GetCurrentFrame().Empty());
}

TEST_F(PlayerPlaybackTest, HookedPicturesReachTheScreen) {
    std::atomic<int> hooked{0};
    player_.Hook = true;
    player_.OnHook = [&](TCustomPlayer&, TBitmap& bitmap, std::int64_t) {
        for (int y = 0; y < bitmap.Height(); ++y)
            std::fill(bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width() * 3, std::uint8_t{255});
        ++hooked;
    };
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kOddSize), &presenter_)) << player_.LastError();
    EXPECT_TRUE(WaitFor([&] { return hooked > 3 && presenter_.Count() > 3; }, 5s));
    player_.Close(true);
    // The picture fills the area's width, so its middle row is white from edge to edge.
    EXPECT_GE(presenter_.Pixel(0, 48) & 0xf0f0f0, 0xf0f0f0u);
    EXPECT_GE(presenter_.Pixel(174, 48) & 0xf0f0f0, 0xf0f0f0u);
}


TEST_F(PlayerPlaybackTest, ImageSequenceHasNoDurationAndNoPositions) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "brenvale-player-images";
    std::filesystem::create_directories(folder);
    mediagen::ClipDescription images;
    images.name = "images";
    images.format = "image2";
    images.file_name = "img%03d.jpg";
    mediagen::VideoSpec video;
    video.codec = "mjpeg";
    video.pixel_format = "yuvj420p";
    video.width = 64;
    video.height = 48;
    video.frame_count = 10;
    images.video = video;
    mediagen::Generate(images, (folder / images.file_name).string());
    ASSERT_TRUE(player_.Open((folder / images.file_name).string(), &presenter_)) << player_.LastError();
    EXPECT_EQ(record_.duration, 0);
    EXPECT_EQ(record_.frame_width, 64);
    EXPECT_TRUE(WaitFor([&] { return presenter_.Count() > 3; }, 5s));
    player_.Close(true);
    EXPECT_TRUE(Positions().empty());
    std::filesystem::remove_all(folder);
}

TEST_F(PlayerPlaybackTest, PlaysIntoAnSdlWindowOfItsOwn) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kOddSize), nullptr)) << player_.LastError();
    EXPECT_TRUE(WaitFor([&] { return record_.CountState(TPlayState::psEnd) > 0; }));
    player_.Close(true);
    EXPECT_EQ(record_.CountState(TPlayState::psStop), 1);
    for (const std::string& line : Logs()) EXPECT_EQ(line.find("video mode"), std::string::npos) << line;
}

TEST_F(PlayerPlaybackTest, PlaysPicturesWithoutASoundDevice) {
    const std::string saved = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const bool opened = player_.Open(TestClipPath(clips::kMp4H264Aac), &presenter_);
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    ASSERT_TRUE(opened) << player_.LastError();
    EXPECT_TRUE(WaitFor([&] { return presenter_.Count() > 5; }, 5s));
    player_.Close(true);
    const std::vector<std::string> logs = Logs();
    EXPECT_NE(std::find_if(logs.begin(), logs.end(),
                           [](const std::string& line) { return line.rfind("SDL_OpenAudio() failed: ", 0) == 0; }),
              logs.end());
}

TEST_F(PlayerPlaybackTest, OpenWhilePlayingClosesFirstAndResetsTheFileSettings) {
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kMp4H264Aac), &presenter_)) << player_.LastError();
    player_.FlipVertical = true;
    player_.WantedAudioStream = 3;
    ASSERT_TRUE(player_.Open(TestClipPath(clips::kWavPcm), &presenter_)) << player_.LastError();
    EXPECT_FALSE(player_.FlipVertical);
    EXPECT_EQ(player_.WantedAudioStream, 0);
    EXPECT_EQ(record_.CountState(TPlayState::psStop), 1);
    player_.Close(true);
    EXPECT_EQ(record_.CountState(TPlayState::psStop), 2);
}

}  // namespace
}  // namespace brenvale
