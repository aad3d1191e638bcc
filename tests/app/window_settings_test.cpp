// The stored values: first run, restoring, the rules for missing and odd values, closing.
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>

#include <filesystem>

#include "window_fixture.h"

namespace brenvale::testing {
namespace {

void Store(const QString& folder, const QVariant& format, const QVariant& overwrite, const QVariant& items,
           const QVariant& letter_box, const QString& skin) {
    QSettings key("Merrowin", "Tandrel");
    key.setValue("Output Folder", folder);
    key.setValue("ComboOutputFormat", format);
    key.setValue("Overwrite", overwrite);
    key.setValue("DropDownItems", items);
    key.setValue("LetterBox", letter_box);
    key.setValue("Skin", skin);
}

// A first start offers what plays everywhere today and the user's videos folder (made).
TEST_F(WindowTest, FirstRunStartsWithDefaultsAndStoresEveryValue) {
    StartWindow();
    EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text().toStdString(), VideosFolder().string());
    EXPECT_TRUE(std::filesystem::is_directory(VideosFolder()));
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentText(), "MP4 - H.264 / AAC (*.mp4)");
    EXPECT_EQ(Find<QComboBox>("ComboAudioChannels")->currentText(), "Same as source");
    EXPECT_FALSE(Form().GeneralOptions().Overwrite());
    EXPECT_EQ(Form().GeneralOptions().DropDownItems(), 27);
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), 27);
    EXPECT_EQ(Find<QComboBox>("ComboLetterBox")->currentText(), "None");
    EXPECT_EQ(Form().SkinName(), "Elegance");

    QSettings key("Merrowin", "Tandrel");
    EXPECT_EQ(key.allKeys().size(), 8);
    EXPECT_EQ(key.value("Simultaneous Conversions").toInt(), 1);
    EXPECT_EQ(key.value("ComboOutputFormat").toInt(), 12);
    EXPECT_EQ(key.value("DropDownItems").toInt(), 27);
    EXPECT_EQ(key.value("Skin").toString(), "Elegance");
}

TEST_F(WindowTest, StoredValuesAreRestoredAndTheFormatFillsItsPresets) {
    Store("/tmp/converted", 6, true, 100, 1, "Golden");
    StartWindow();
    EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text(), "/tmp/converted");
    EXPECT_EQ(Form().OutputExtension(), "MP4");
    EXPECT_EQ(Find<QComboBox>("ComboVideoCodec")->count(), 3);  // MPEG4, H264, XVid
    EXPECT_EQ(Find<QComboBox>("ComboAudioCodec")->currentText(), "mpeg4aac");
    EXPECT_TRUE(Form().GeneralOptions().Overwrite());
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), 47);
    EXPECT_EQ(Find<QComboBox>("ComboLetterBox")->currentText(), "LetterBox");
    EXPECT_EQ(Form().SkinName(), "Golden");
    EXPECT_EQ(Find<QLabel>("LabelVolume")->text(), "100%");  // the volume is never stored
}

TEST_F(WindowTest, OddStoredValuesAreIgnored) {
    struct Case {
        QVariant format;
        QVariant items;
        QVariant letter_box;
        QString skin;
        int expected_format;
        int expected_items;
        int expected_letter_box;
    };
    // A stored separator goes to the first entry, as ever; an index that names no item leaves the
    // first start's choice.
    for (const Case& c : {Case{-1, 5, -1, "   ", 12, 26, 0}, Case{11, -3, 7, "", 0, 27, 0}, Case{2, 30, 0, " Opus ", 0, 30, 0}}) {
        Store("", c.format, false, c.items, c.letter_box, c.skin);
        StartWindow();
        EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentIndex(), c.expected_format) << c.format.toInt();
        EXPECT_EQ(Form().OutputExtension(), c.expected_format == 0 ? "SWF" : "MP4");
        EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text(), "") << "a folder stored empty stays so";
        EXPECT_EQ(Form().GeneralOptions().DropDownItems(), c.expected_items);
        EXPECT_EQ(Find<QComboBox>("ComboLetterBox")->currentIndex(), c.expected_letter_box);
        EXPECT_EQ(Form().SkinName(), c.skin.trimmed().isEmpty() ? "Elegance" : c.skin.trimmed());
        form_.reset();
    }
}

TEST_F(WindowTest, AMissingValueEndsTheLoadAndRewritesEveryValue) {
    Store("/tmp/kept", 7, true, 30, 1, "Vista");
    {
        QSettings key("Merrowin", "Tandrel");
        key.remove("Overwrite");
        key.setValue("ComboOutputFormat", 7);
    }
    StartWindow();
    EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text(), "/tmp/kept");
    EXPECT_EQ(Form().OutputExtension(), "MPG");
    // Not read after the missing value.
    EXPECT_EQ(Form().GeneralOptions().DropDownItems(), 27);
    EXPECT_EQ(Find<QComboBox>("ComboLetterBox")->currentIndex(), 0);
    EXPECT_EQ(Form().SkinName(), "Elegance");
    QSettings key("Merrowin", "Tandrel");
    EXPECT_EQ(key.value("Overwrite").toString(), "false");
    EXPECT_EQ(key.value("DropDownItems").toInt(), 27);
    EXPECT_EQ(key.value("Skin").toString(), "Elegance");
}

// The close box and File > Exit keep the same values, the window's size and place among them.
TEST_F(WindowTest, ClosingAndExitSaveTheCurrentValuesAndTheWindowsPlace) {
    for (const bool exit : {false, true}) {
        SCOPED_TRACE(exit ? "Exit" : "close box");
        StartWindow();
        Find<QLineEdit>("EditOutputFolder")->setText(exit ? "/tmp/exit" : "/tmp/saved");
        ChooseFormat(5);
        Form().GeneralOptions().SetOverwrite(true);
        Form().setGeometry(40, 50, 1000, 700);
        QCoreApplication::processEvents();
        if (exit) {
            QEventLoop loop;
            QTimer::singleShot(0, &Form(), [this] { Form().Exit1Click(); });
            QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
            EXPECT_EQ(loop.exec(), 0);
        } else {
            EXPECT_TRUE(Form().close());
        }
        {
            QSettings key("Merrowin", "Tandrel");
            EXPECT_EQ(key.value("Output Folder").toString(), exit ? "/tmp/exit" : "/tmp/saved");
            EXPECT_EQ(key.value("ComboOutputFormat").toInt(), 5);
            EXPECT_EQ(key.value("Overwrite").toString(), "true");
        }
        form_.reset();
        StartWindow();
        EXPECT_EQ(Form().size(), QSize(1000, 700));
        EXPECT_EQ(Form().OutputExtension(), "MP3");
        form_.reset();
    }
}

}  // namespace
}  // namespace brenvale::testing
