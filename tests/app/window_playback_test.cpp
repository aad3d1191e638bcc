// The playback panel with the real player (SDL's dummy drivers): Play, Pause, Stop, the end of
// a file, the row selection, the volume menu and the preview frames of a conversion.
#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QToolButton>

#include "app/window/play_panel.h"
#include "common/main_thread.h"
#include "tests/support/media_reader.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

using namespace std::chrono_literals;
namespace clips = mediagen::clips;
constexpr int kFlv = 1;

class PlaybackTest : public WindowTest {
protected:
    void StartWith(const std::vector<std::string>& sources) {
        StartWindow();
        AddClips(sources);
    }
    TPlayPanel& Panel() { return *Find<TPlayPanel>("sPanelPlay"); }
    TFFPlayer& Player() { return Form().FFPlayer(); }
    void Select(int row) { List().selectRow(row); }
    // The first row playing, with its first picture on the panel.
    void PlayFirstOf(const std::vector<std::string>& sources) {
        StartWith(sources);
        Select(0);
        Form().ButtonPlayClick();
        ASSERT_TRUE(PlayingAt(0ms));
    }
    // Playing, with a picture on the panel, `at_least` into the file.
    bool PlayingAt(std::chrono::milliseconds at_least) {
        return WaitFor([&] {
            return Player().Playing() && !Panel().LastPlayback().isNull() &&
                   Player().CurrentPosition() >= at_least.count() * 1000;
        }, 20s);
    }
};

TEST_F(PlaybackTest, PlayNeedsASelectedRowAndNoConversion) {
    StartWith({clips::kAviMpeg4Mp3});
    Form().ButtonPlayClick();
    EXPECT_FALSE(Player().Playing());
    EXPECT_TRUE(Panel().ShowingPlaceholder());

    Select(0);
    ChooseFormat(kFlv);
    UseOutputFolder();
    Form().ButtonConvertClick();
    ASSERT_TRUE(Form().Converting());
    Form().ButtonPlayClick();
    Form().PlaySelectedVideo1Click();
    EXPECT_FALSE(Player().Playing());
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive() && !Form().Converting(); }));
    EXPECT_TRUE(Panel().ShowingPlaceholder());
}

TEST_F(PlaybackTest, PauseThenPlayResumesAndStopThenPlayRestarts) {
    PlayFirstOf({clips::kAviMpeg4Mp3});
    ASSERT_TRUE(PlayingAt(300ms));
    EXPECT_TRUE(Panel().ShowingPlayback());
    // The picture is composed at the size of the picture area, not the source's 320 x 240.
    EXPECT_EQ(Panel().LastPlayback().size(), Panel().size());

    Form().ButtonPauseClick();
    EXPECT_TRUE(Player().Paused());
    EXPECT_TRUE(Form().PlaybackPaused());
    const std::int64_t paused_at = Player().CurrentPosition();
    Form().ButtonPlayClick();
    EXPECT_FALSE(Player().Paused());
    EXPECT_FALSE(Form().PlaybackPaused());
    ASSERT_TRUE(WaitFor([&] { return Player().CurrentPosition() > paused_at; }));

    Form().ButtonStopPlayClick();
    EXPECT_FALSE(Player().Playing());
    EXPECT_TRUE(Form().PlaybackStopped());
    EXPECT_TRUE(Panel().ShowingPlaceholder());
    Form().ButtonPauseClick();  // nothing plays: the next Play must not merely resume
    EXPECT_FALSE(Form().PlaybackPaused());
    Form().ButtonPlayClick();
    ASSERT_TRUE(WaitFor([&] { return Player().CurrentPosition() >= 0; }));
    EXPECT_LT(Player().CurrentPosition(), paused_at);
    EXPECT_FALSE(Form().PlaybackStopped());
}

TEST_F(PlaybackTest, SecondPauseResumesAndPlayThenRestartsInsteadOfPausing) {
    PlayFirstOf({clips::kAviMpeg4Mp3});
    ASSERT_TRUE(PlayingAt(300ms));
    Form().ButtonPauseClick();
    Form().ButtonPauseClick();
    EXPECT_FALSE(Player().Paused());
    EXPECT_FALSE(Form().PlaybackPaused());
    const std::int64_t before = Player().CurrentPosition();
    Form().ButtonPlayClick();
    EXPECT_TRUE(Player().Playing());
    EXPECT_FALSE(Player().Paused());
    ASSERT_TRUE(WaitFor([&] { return Player().CurrentPosition() >= 0; }));
    EXPECT_LT(Player().CurrentPosition(), before);
}

TEST_F(PlaybackTest, AnotherSelectedRowPlaysOnlyAfterTheNextPlay) {
    PlayFirstOf({clips::kAviMpeg4Mp3, clips::kMp4H264Aac});
    Select(1);
    EXPECT_EQ(Form().SelectedFile(), List().Caption(1));
    EXPECT_TRUE(Player().Playing());
    EXPECT_EQ(QString::fromStdString(Player().FileName()), List().Caption(0));
    Form().ButtonPlayClick();
    EXPECT_EQ(QString::fromStdString(Player().FileName()), List().Caption(1));
    Find<QAction>("PlaySelectedVideo1")->trigger();  // the list's menu plays it too
    EXPECT_TRUE(Player().Playing());
}

TEST_F(PlaybackTest, TheEndOfAFileBringsBackThePlaceholderButNotOverANewPlayback) {
    StartWith({clips::kAviMpeg4Mp3});
    Select(0);
    Form().ButtonPlayClick();
    // The end is reached while the window handles no events: its placeholder is still posted
    // when Play starts the file again, and must not cover the new playback.
    ASSERT_TRUE(WaitServingMainThread([&] { return !Player().Playing(); }, 30s));
    Form().ButtonPlayClick();
    ASSERT_TRUE(PlayingAt(0ms));
    EXPECT_TRUE(Panel().ShowingPlayback());

    ASSERT_TRUE(WaitFor([&] { return !Player().Playing() && Panel().ShowingPlaceholder(); }, 30s));
    EXPECT_FALSE(Form().PlaybackStopped());
}

TEST_F(PlaybackTest, VolumeMenuSetsThePlayerVolumeAndTheButtonPicture) {
    StartWith({clips::kAviMpeg4Mp3});
    auto* button = Find<QToolButton>("ButtonVolume");
    const auto picture = [button] { return button->icon().pixmap(20, 20).toImage().convertToFormat(QImage::Format_ARGB32); };
    const auto resource = [](const char* name) {
        return QImage(QStringLiteral(":/") + name).convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(picture(), resource("spkfull"));
    const struct {
        const char* Action;
        int Tag;
        TAudioVolume Volume;
        const char* Picture;
    } steps[] = {{"Mute1", 8, 0, "spkmute"}, {"HalfVolume1", 9, 64, "spkhalf"}, {"FullVolume1", 10, 128, "spkfull"}};
    for (const auto& step : steps) {
        auto* action = Find<QAction>(step.Action);
        EXPECT_EQ(action->data().toInt(), step.Tag);
        action->trigger();
        EXPECT_EQ(Player().AudioVolume, step.Volume) << step.Action;
        EXPECT_EQ(picture(), resource(step.Picture)) << step.Action;
    }
    Form().ButtonVolumeClick();
    auto* menu = Find<QMenu>("PopupMenuVolume");
    EXPECT_TRUE(menu->isVisible());
    menu->close();

    // The step is the player's own: the next file plays at it.
    Find<QAction>("Mute1")->trigger();
    Select(0);
    Form().ButtonPlayClick();
    ASSERT_TRUE(PlayingAt(0ms));
    EXPECT_EQ(Player().AudioVolume, 0);
}

TEST_F(PlaybackTest, ConversionStopsThePlaybackAndItsPreviewFramesReachThePanel) {
    StartWith({clips::kAviMpeg4Mp3});
    ChooseFormat(kFlv);
    UseOutputFolder();
    Select(0);
    Form().ButtonPlayClick();
    ASSERT_TRUE(PlayingAt(0ms));
    Form().ButtonConvertClick();
    EXPECT_FALSE(Player().Playing());
    EXPECT_TRUE(Form().PlaybackStopped());
    EXPECT_TRUE(WaitFor([&] { return Panel().ShowingPreview(); }));
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive() && !Form().Converting(); }));
    EXPECT_TRUE(Panel().ShowingPlaceholder());

    const QImage preview = Panel().LastPreview();
    const StreamReport video = ReadMedia((output_folder_ / "avi_mpeg4_mp3.flv").string()).StreamsOf(AVMEDIA_TYPE_VIDEO).at(0);
    EXPECT_EQ(preview.width(), video.width);
    EXPECT_EQ(preview.height(), video.height);
    // The moving pattern, not a black or flat picture.
    int distinct = 0;
    for (int x = 0; x < preview.width(); x += 8) distinct += preview.pixel(x, preview.height() / 2) != preview.pixel(0, preview.height() / 2);
    EXPECT_GT(distinct, preview.width() / 32);
}

}  // namespace
}  // namespace brenvale::testing
