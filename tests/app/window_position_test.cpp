// The playback panel's position row and keys, driven with real mouse and key events: the
// slider follows playback and seeks where it is clicked, the time reads position / duration,
// and Space pauses while the panel has the focus.
#include <QLabel>
#include <QSlider>
#include <QTest>

#include "app/window/play_panel.h"
#include "app/window/position_bar.h"
#include "tools/player_clips.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

using namespace std::chrono_literals;
namespace clips = mediagen::clips;

TEST(PlayTimeText, ShowsMinutesOrHoursAsTheDurationNeeds) {
    struct Case {
        std::int64_t position_us, duration_us;
        const char* text;
    };
    for (const Case& c : {Case{0, 4'000'000, "0:00 / 0:04"}, Case{3'999'999, 4'000'000, "0:03 / 0:04"},
                          Case{754'000'000, 3'599'999'999, "12:34 / 59:59"},
                          Case{61'000'000, 3'600'000'000, "0:01:01 / 1:00:00"},
                          Case{9'000'000, 5'000'000, "0:05 / 0:05"}, Case{-40'000, 5'000'000, "0:00 / 0:05"},
                          Case{125'000'000, -1, "2:05"}, Case{0, 0, "0:00 / 0:00"}})
        EXPECT_EQ(PlayTimeText(c.position_us, c.duration_us).toStdString(), c.text);
}

class PositionRowTest : public WindowTest {
protected:
    void PlayFirstOf(const char* clip) {
        StartWindow();
        AddClips({clip});
        List().selectRow(0);
        QTest::mouseClick(Find<QWidget>("ButtonPlay"), Qt::LeftButton);
        ASSERT_TRUE(Form().FFPlayer().Playing());
    }
    QSlider& Slider() { return *Find<QSlider>("TrackBarPosition"); }
    QString Time() { return Find<QLabel>("LabelPosition")->text(); }
    std::int64_t Position() { return Form().FFPlayer().CurrentPosition(); }
};

TEST_F(PositionRowTest, FollowsPlaybackSeeksWhereClickedAndClearsOnStop) {
    PlayFirstOf(clips::kSparseKeysMp4);
    EXPECT_TRUE(Slider().isEnabled());
    EXPECT_EQ(Slider().maximum(), 4000);
    EXPECT_TRUE(Time().endsWith(" / 0:04")) << Time().toStdString();
    ASSERT_TRUE(WaitFor([&] { return Slider().value() >= 300; }, 20s)) << "follows playback";

    // A click three quarters along the groove lands near 3 s, past the last key frame (2.4 s),
    // long before playback would get there.
    QTest::mouseClick(&Slider(), Qt::LeftButton, {}, QPoint(Slider().width() * 3 / 4, Slider().height() / 2));
    EXPECT_NEAR(Slider().value(), 3000, 300);
    const std::int64_t clicked_at = Position();
    ASSERT_LT(clicked_at, 1'500'000);
    ASSERT_TRUE(WaitFor([&] { return Position() >= 2'700'000; }, 1s)) << Position();
    ASSERT_TRUE(WaitFor([&] { return Time() == "0:03 / 0:04"; }, 20s)) << Time().toStdString();

    QTest::mouseClick(Find<QWidget>("ButtonStopPlay"), Qt::LeftButton);
    EXPECT_FALSE(Slider().isEnabled());
    EXPECT_EQ(Slider().value(), 0);
    EXPECT_EQ(Time(), "0:00 / 0:00");
}

TEST_F(PositionRowTest, KeysMoveTheSliderAndSeek) {
    PlayFirstOf(clips::kSparseKeysMkv);
    ASSERT_TRUE(WaitFor([&] { return Position() > 200'000; }, 20s));
    Slider().setFocus();
    QTest::keyClick(&Slider(), Qt::Key_End);
    ASSERT_TRUE(WaitFor([&] { return !Form().FFPlayer().Playing() || Position() >= 3'900'000; }, 20s))
        << "End seeks to the end of the file";
}

TEST_F(PositionRowTest, SpacePausesWhileThePanelHasTheFocus) {
    PlayFirstOf(clips::kSparseKeysMp4);
    TFFPlayer& player = Form().FFPlayer();
    auto* picture = Find<TPlayPanel>("sPanelPlay");
    EXPECT_TRUE(picture->hasFocus()) << "Play gives the panel the focus";
    QTest::keyClick(picture, Qt::Key_Space);
    EXPECT_TRUE(player.Paused());
    EXPECT_TRUE(Form().PlaybackPaused());
    QTest::keyClick(picture, Qt::Key_Space);
    EXPECT_FALSE(player.Paused());

    // Space on the slider pauses too; on the file list it does not.
    Slider().setFocus();
    QTest::keyClick(&Slider(), Qt::Key_Space);
    EXPECT_TRUE(player.Paused());
    QTest::keyClick(&Slider(), Qt::Key_Space);
    List().setFocus();
    QTest::keyClick(&List(), Qt::Key_Space);
    EXPECT_FALSE(player.Paused());
}

}  // namespace
}  // namespace brenvale::testing
