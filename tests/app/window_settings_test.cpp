// The stored values: first run, restoring, the rules for missing and odd values, closing.
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>

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

TEST_F(WindowTest, FirstRunStartsWithDefaultsAndStoresEveryValue) {
    StartWindow();
    EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text(), "");
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentIndex(), 0);
    EXPECT_EQ(Form().OutputExtension(), "SWF");
    EXPECT_FALSE(Form().GeneralOptions().Overwrite());
    EXPECT_EQ(Form().GeneralOptions().DropDownItems(), 27);
    EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), 27);
    EXPECT_EQ(Find<QComboBox>("ComboLetterBox")->currentText(), "None");
    EXPECT_EQ(Form().SkinName(), "Elegance");

    QSettings key("Merrowin", "Tandrel");
    EXPECT_EQ(key.allKeys().size(), 7);
    EXPECT_EQ(key.value("Simultaneous Conversions").toInt(), 1);
    EXPECT_EQ(key.value("ComboOutputFormat").toInt(), 0);
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
    for (const Case& c : {Case{-1, 5, -1, "   ", 0, 26, 0}, Case{11, -3, 7, "", 0, 27, 0}, Case{2, 30, 0, " Opus ", 0, 30, 0}}) {
        Store("", c.format, false, c.items, c.letter_box, c.skin);
        StartWindow();
        EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->currentIndex(), c.expected_format) << c.format.toInt();
        EXPECT_EQ(Form().OutputExtension(), "SWF");
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

TEST_F(WindowTest, ClosingSavesTheCurrentValues) {
    StartWindow();
    Find<QLineEdit>("EditOutputFolder")->setText("/tmp/saved");
    ChooseFormat(5);
    Form().GeneralOptions().SetOverwrite(true);
    EXPECT_TRUE(Form().close());
    QSettings key("Merrowin", "Tandrel");
    EXPECT_EQ(key.value("Output Folder").toString(), "/tmp/saved");
    EXPECT_EQ(key.value("ComboOutputFormat").toInt(), 5);
    EXPECT_EQ(key.value("Overwrite").toString(), "true");
}

TEST_F(WindowTest, ExitEndsTheLoopWithoutSaving) {
    StartWindow();
    Find<QLineEdit>("EditOutputFolder")->setText("/tmp/not-saved");
    QEventLoop loop;
    QTimer::singleShot(0, &Form(), [this] { Form().Exit1Click(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    watchdog.start(10000);
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_EQ(QSettings("Merrowin", "Tandrel").value("Output Folder").toString(), "");
}

}  // namespace
}  // namespace brenvale::testing
