// The format list, its separator, the presets it fills in and the volume control.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>

#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int item = 0; item < combo->count(); ++item) items << combo->itemText(item);
    return items;
}

TEST_F(WindowTest, FormatChangeFillsPresetsAndRewritesEveryRowsOutput) {
    StartWindow();
    AddClips({mediagen::clips::kMp4H264Aac, mediagen::clips::kRandomBytes, mediagen::clips::kWavPcm});
    ChooseFormat(6);  // MP4
    EXPECT_EQ(Items(Find<QComboBox>("ComboVideoCodec")), QStringList({"MPEG4", "H264", "XVid"}));
    EXPECT_EQ(Find<QComboBox>("ComboVideoBitrate")->currentText(), "1200 Kbps");
    EXPECT_EQ(Find<QComboBox>("ComboSamplingRate")->currentText(), "44100 Hz");
    for (int row = 0; row < 3; ++row) EXPECT_EQ(List().Value(row, TRowValue::Output), "MP4") << row;

    Find<QComboBox>("ComboVideoCodec")->setCurrentIndex(2);
    ChooseFormat(5);  // MP3: the video controls are emptied and disabled
    for (const char* name : {"ComboVideoCodec", "ComboVideoSize", "ComboVideoBitrate", "ComboVideoFramerate"}) {
        EXPECT_EQ(Find<QComboBox>(name)->count(), 0) << name;
        EXPECT_FALSE(Find<QComboBox>(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Find<QComboBox>("ComboLetterBox")->isEnabled());
    EXPECT_EQ(List().Value(1, TRowValue::Output), "MP3");

    ChooseFormat(6);  // back: the preset again, not the earlier choice
    EXPECT_EQ(Find<QComboBox>("ComboVideoCodec")->currentText(), "MPEG4");
    EXPECT_TRUE(Find<QComboBox>("ComboLetterBox")->isEnabled());
}

// Keys as the user presses them on a closed list: each step is a choice.
void PressKey(QComboBox* combo, Qt::Key key, int times) {
    for (int i = 0; i < times; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(combo, &press);
    }
}

TEST_F(WindowTest, TheValueListsFollowTheChosenCodecs) {
    StartWindow();
    ChooseFormat(3);  // AVI: PCM takes every sampling rate
    auto* codec = Find<QComboBox>("ComboAudioCodec");
    auto* sampling = Find<QComboBox>("ComboSamplingRate");
    auto* bitrate = Find<QComboBox>("ComboAudioBitrate");
    EXPECT_EQ(sampling->count(), 8);
    PressKey(codec, Qt::Key_Down, 2);
    ASSERT_EQ(codec->currentText(), "mp2");
    EXPECT_EQ(Items(sampling), QStringList({"16000 Hz", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz"}));
    EXPECT_EQ(sampling->currentText(), "48000 Hz");
    EXPECT_FALSE(Items(bitrate).contains("40 Kbps"));
    ASSERT_EQ(bitrate->currentText(), "128 Kbps");
    PressKey(bitrate, Qt::Key_Down, 2);
    ASSERT_EQ(bitrate->currentText(), "192 Kbps");
    PressKey(sampling, Qt::Key_Up, 3);  // to 22050 Hz: mp2's half rates stop at 160 kbit/s
    EXPECT_EQ(sampling->currentText(), "22050 Hz");
    EXPECT_EQ(Items(bitrate).last(), "160 Kbps");
    EXPECT_EQ(bitrate->currentText(), "160 Kbps");

    ChooseFormat(7);  // MPEG-1 knows no 15 pictures a second
    EXPECT_EQ(Items(Find<QComboBox>("ComboVideoFramerate")),
              QStringList({"Auto", "23.975 fps", "25.0 fps", "29.97 fps", "30.0 fps"}));
    EXPECT_EQ(Find<QComboBox>("ComboVideoFramerate")->currentText(), "25.0 fps");
}

TEST_F(WindowTest, TheSeparatorKeepsThePreviousFormat) {
    StartWindow();
    AddClips({mediagen::clips::kWavPcm});
    ChooseFormat(1);  // FLV
    Find<QComboBox>("ComboAudioBitrate")->setCurrentIndex(0);
    ChooseFormat(2);
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentIndex(), 1);
    EXPECT_EQ(Form().OutputExtension(), "FLV");
    EXPECT_EQ(Find<QComboBox>("ComboAudioBitrate")->currentText(), "32 Kbps");
    EXPECT_EQ(List().Value(0, TRowValue::Output), "FLV");
}

TEST_F(WindowTest, DropDownLinesFollowTheAdditionalOptions) {
    StartWindow();
    Form().GeneralOptions().SetDropDownItems(40);
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), 40);
    Form().GeneralOptions().SetDropDownItems(2);
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), 26);
}

TEST_F(WindowTest, VolumeTrackBarSetsLabelAndValue) {
    StartWindow();
    auto* bar = Find<QSlider>("TrackBar1");
    struct Case {
        int position;
        const char* label;
        int value;
    };
    for (const Case& c : {Case{0, "0%", 1}, Case{6, "120%", 300}, Case{10, "200%", 600}, Case{5, "100%", 256}}) {
        bar->setValue(c.position);
        EXPECT_EQ(Find<QLabel>("LabelVolume")->text(), c.label);
        EXPECT_EQ(Form().VolumeValue(), c.value);
    }
}

}  // namespace
}  // namespace brenvale::testing
