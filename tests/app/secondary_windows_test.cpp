// The Choose Skin, About and Additional Options windows, opened as the program opens them.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>

#include "app/window/form4.h"
#include "app/window/form_about.h"
#include "app/window/form_skin.h"
#include "app/window/general_options.h"
#include "app/window/program_files.h"
#include "app/window/secondary_windows.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

class SecondaryWindowTest : public WindowTest {
protected:
    // As the program starts: the main window, its three windows (which load the settings), the show.
    void StartProgram() {
        form_ = std::make_unique<TForm1>(QString(), dialogs_);
        ASSERT_TRUE(form_->Started());
        Form().Skins().SetSkinsDirectory(QString::fromStdString((folder_ / "Skins").string()));
        windows_ = CreateSecondaryWindows(Form());
        Form().show();
        QCoreApplication::processEvents();
    }
    template <class Control>
    Control* In(QWidget* window, const char* name) {
        auto* control = window->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QListWidget* DisplayList() { return In<QListWidget>(windows_.FormSkin, "sListBox2"); }
    // A click of the mouse on the name, as the user chooses.
    void Choose(const QString& display_name) {
        const QList<QListWidgetItem*> items = DisplayList()->findItems(display_name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << display_name.toStdString();
        DisplayList()->scrollToItem(items.first());
        const QRect place = DisplayList()->visualItemRect(items.first());
        QTest::mouseClick(DisplayList()->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    }
    QString SheetOf(const QString& skin) { return Form().Skins().StyleSheet(skin); }
    void TriggerMenu(const char* name) { Find<QAction>(name)->trigger(); }

    TSecondaryWindows windows_;
};

TEST_F(SecondaryWindowTest, TheWindowsStartClosedWithTheirCaptionsAndSizes) {
    StartProgram();
    struct Case {
        QWidget* window;
        const char* caption;
        QSize client;
    };
    for (const Case& c : {Case{windows_.FormSkin, "Choose Skin", {187, 224}}, Case{windows_.FormAbout, "About", {370, 268}},
                          Case{windows_.Form4, "Additional Options", {318, 198}}}) {
        EXPECT_FALSE(c.window->isVisible()) << c.caption;
        EXPECT_EQ(c.window->windowTitle(), c.caption);
        EXPECT_EQ(c.window->size(), c.client) << c.caption;
        EXPECT_EQ(c.window->parentWidget(), &Form()) << c.caption;
    }
    EXPECT_TRUE(windows_.Form4->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(windows_.FormAbout->windowFlags() & Qt::WindowStaysOnTopHint);
    // The start skin, with the look of its built-in skin.
    EXPECT_EQ(Form().SkinName(), "Elegance");
    EXPECT_EQ(qApp->styleSheet(), SheetOf("Elegance (internal)"));
}

TEST_F(SecondaryWindowTest, AChoiceAppliesAtOnceAndCancelRestoresTheSkinBeforeShowing) {
    StartProgram();
    windows_.FormSkin->show();
    QStringList display_names;
    for (int row = 0; row < DisplayList()->count(); ++row) display_names << DisplayList()->item(row)->text();
    EXPECT_EQ(display_names, TFormSkin::DisplayNames());
    EXPECT_EQ(DisplayList()->currentItem()->text(), "Elegant Blue");  // the start skin's look
    EXPECT_EQ(windows_.FormSkin->SkinBeforeShow(), "Elegance");

    Choose("Golden");
    EXPECT_EQ(Form().SkinName(), "Golden (internal)");
    EXPECT_EQ(qApp->styleSheet(), SheetOf("Golden (internal)"));
    Choose("Dark Glass");
    EXPECT_EQ(Form().SkinName(), "DarkGlass (internal)");
    QTest::keyClick(DisplayList(), Qt::Key_Down);
    EXPECT_EQ(Form().SkinName(), "Elegance (internal)");
    In<QPushButton>(windows_.FormSkin, "sSpeedButton2")->click();
    EXPECT_FALSE(windows_.FormSkin->isVisible());
    EXPECT_EQ(Form().SkinName(), "Elegance");
    EXPECT_EQ(qApp->styleSheet(), SheetOf("Elegance (internal)"));
}

TEST_F(SecondaryWindowTest, OkAndTheTitleBarKeepTheChoiceWhichIsStoredAndRestored) {
    StartProgram();
    windows_.FormSkin->show();
    Choose("Mac OS2");
    In<QPushButton>(windows_.FormSkin, "sSpeedButton1")->click();
    EXPECT_FALSE(windows_.FormSkin->isVisible());
    EXPECT_EQ(Form().SkinName(), "MacOS2 (internal)");

    windows_.FormSkin->show();
    EXPECT_EQ(DisplayList()->currentItem()->text(), "Mac OS2");
    Choose("Vista");
    windows_.FormSkin->close();
    EXPECT_EQ(Form().SkinName(), "Vista (internal)");

    Form().close();
    EXPECT_EQ(QSettings("Merrowin", "Tandrel").value("Skin").toString(), "Vista (internal)");
    form_.reset();
    StartProgram();
    EXPECT_EQ(Form().SkinName(), "Vista (internal)");
    EXPECT_EQ(qApp->styleSheet(), SheetOf("Vista (internal)"));
}

TEST_F(SecondaryWindowTest, FolderSkinsFollowTheDisplayNamesAndSelectThemselves) {
    const QDir skins(QString::fromStdString((folder_ / "Skins").string()));
    ASSERT_TRUE(skins.mkpath("Aurora"));
    const QByteArray aurora = "QWidget { color: #ffffff; background-color: #102030; }";
    QFile options(skins.filePath("Aurora/Options.dat"));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write(aurora);
    options.close();
    StartProgram();
    windows_.FormSkin->show();
    ASSERT_EQ(DisplayList()->count(), 11);
    EXPECT_EQ(DisplayList()->item(10)->text(), "Aurora");
    Choose("Aurora");
    EXPECT_EQ(Form().SkinName(), "Aurora");
    EXPECT_EQ(qApp->styleSheet(), aurora);
    Choose("Acrylic");  // still the built-in skin, though "Aurora" sorts before "DarkGlass (internal)"
    EXPECT_EQ(Form().SkinName(), "Acryl (internal)");
}

TEST_F(SecondaryWindowTest, TheStoredDropDownCountIsBroughtIntoItsRange) {
    struct Case {
        int stored;
        int shown;
    };
    for (const Case& c : {Case{100, 47}, Case{5, 26}, Case{47, 47}, Case{26, 26}, Case{33, 33}}) {
        QSettings key("Merrowin", "Tandrel");
        key.setValue("ComboOutputFormat", 0);
        key.setValue("Overwrite", false);
        key.setValue("DropDownItems", c.stored);
        key.setValue("LetterBox", 0);
        key.sync();
        StartProgram();
        EXPECT_EQ(In<QSpinBox>(windows_.Form4, "SpinEdit1")->value(), c.shown) << c.stored;
        EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), c.shown) << c.stored;
        form_.reset();
    }
}

// Settings stored before the value existed load completely; odd values are brought into range.
TEST_F(SecondaryWindowTest, SimultaneousConversionsAreOfferedUpToTheCoresAndStored) {
    const int cores = TGeneralOptions::MaxSimultaneousConversions();
    struct Case {
        QVariant stored;
        int shown;
    };
    for (const Case& c : {Case{QVariant(), 1}, Case{0, 1}, Case{999, cores}, Case{cores, cores}}) {
        QSettings key("Merrowin", "Tandrel");
        key.setValue("ComboOutputFormat", 0);
        key.setValue("Overwrite", false);
        key.setValue("DropDownItems", 27);
        key.setValue("LetterBox", 0);
        key.setValue("Skin", "Golden");
        if (c.stored.isValid()) key.setValue("Simultaneous Conversions", c.stored);
        else key.remove("Simultaneous Conversions");
        key.sync();
        StartProgram();
        auto* spin = In<QSpinBox>(windows_.Form4, "SpinEditSimultaneous");
        EXPECT_EQ(spin->minimum(), 1);
        EXPECT_EQ(spin->maximum(), cores);
        EXPECT_EQ(spin->value(), c.shown) << c.stored.toString().toStdString();
        EXPECT_EQ(Form().SkinName(), "Golden") << "the load went on";
        form_.reset();
    }
    StartProgram();
    In<QSpinBox>(windows_.Form4, "SpinEditSimultaneous")->setValue(cores);
    EXPECT_EQ(Form().GeneralOptions().SimultaneousConversions(), cores);
    Form().close();
    EXPECT_EQ(QSettings("Merrowin", "Tandrel").value("Simultaneous Conversions").toInt(), cores);
}

TEST_F(SecondaryWindowTest, TheDropDownFieldReadsOddTextsByItsRules) {
    StartProgram();
    auto* spin = In<QSpinBox>(windows_.Form4, "SpinEdit1");
    EXPECT_EQ(spin->minimum(), 26);
    EXPECT_EQ(spin->maximum(), 47);
    EXPECT_EQ(spin->value(), 27);
    struct Case {
        const char* text;
        int value;
    };
    for (const Case& c : {Case{"40", 40}, Case{"abc", 26}, Case{"100", 47}, Case{"5", 26}, Case{"", 26}, Case{"-3", 26}}) {
        spin->setValue(30);
        spin->findChild<QLineEdit*>()->setText(QString::fromLatin1(c.text));
        spin->interpretText();
        EXPECT_EQ(spin->value(), c.value) << c.text;
        EXPECT_EQ(Form().GeneralOptions().DropDownItems(), c.value) << c.text;
        EXPECT_EQ(Find<QComboBox>("ComboOutputFormat")->maxVisibleItems(), c.value) << c.text;
    }
}

TEST_F(SecondaryWindowTest, TheOverwriteBoxFollowsTheSettingsAndAppliesToTheNextJob) {
    QSettings key("Merrowin", "Tandrel");
    key.setValue("ComboOutputFormat", 1);  // FLV
    key.setValue("Overwrite", true);
    key.setValue("DropDownItems", 27);
    key.setValue("LetterBox", 0);
    key.sync();
    StartProgram();
    auto* overwrite = In<QCheckBox>(windows_.Form4, "CheckBoxOverWrite");
    EXPECT_EQ(overwrite->text(), "Overwrite Existing File With The Same Name");
    EXPECT_TRUE(overwrite->isChecked());

    UseOutputFolder();
    AddClips({mediagen::clips::kWavPcm});
    std::ofstream(output_folder_ / "wav_pcm.flv") << "taken";
    TriggerMenu("SetGeneralOptions1");
    EXPECT_TRUE(windows_.Form4->isVisible());
    EXPECT_FALSE(windows_.Form4->isModal());
    overwrite->click();  // the window stays open over the runs
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(std::filesystem::file_size(output_folder_ / "wav_pcm.flv"), 5u);
    EXPECT_GT(std::filesystem::file_size(output_folder_ / "wav_pcm-1.flv"), 100u);
    overwrite->click();
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_GT(std::filesystem::file_size(output_folder_ / "wav_pcm.flv"), 100u);
    EXPECT_FALSE(std::filesystem::exists(output_folder_ / "wav_pcm-2.flv"));

    In<QPushButton>(windows_.Form4, "Button1")->click();
    EXPECT_FALSE(windows_.Form4->isVisible());
    Form().close();
    EXPECT_TRUE(QSettings("Merrowin", "Tandrel").value("Overwrite").toBool());
}

TEST_F(SecondaryWindowTest, AboutShowsTheProductAndItsLinks) {
    StartProgram();
    auto* product = In<QLabel>(windows_.FormAbout, "Label1");
    EXPECT_EQ(product->text(), "Brenvale 4.1");
    EXPECT_TRUE(product->font().bold());
    for (const auto& [name, text] : {std::pair{"Label6", "Visit Merrowin Website"}, std::pair{"Label2", "Contact Support Department"}}) {
        auto* link = In<QLabel>(windows_.FormAbout, name);
        EXPECT_EQ(link->text(), text);
        EXPECT_TRUE(link->font().underline()) << name;
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor) << name;
    }
    const QPixmap icon = In<QLabel>(windows_.FormAbout, "Image1")->pixmap();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_NE(icon.toImage().pixelColor(16, 16).alpha(), 0);  // the picture was drawn
    EXPECT_EQ(In<QPushButton>(windows_.FormAbout, "SpeedButton1")->text(), "OK");
}

TEST_F(SecondaryWindowTest, TheMenusOpenAboutAndChooseSkinModally) {
    StartProgram();
    for (const auto& [menu, window, button] :
         {std::tuple<const char*, QDialog*, const char*>{"About1", windows_.FormAbout, "SpeedButton1"},
          std::tuple<const char*, QDialog*, const char*>{"Skins1", windows_.FormSkin, "sSpeedButton2"}}) {
        bool was_modal = false;
        QTimer::singleShot(0, window, [&, window = window, button = button] {
            was_modal = window->isVisible() && window->isModal();
            In<QPushButton>(window, button)->click();
        });
        TriggerMenu(menu);  // returns once the window has closed
        EXPECT_TRUE(was_modal) << menu;
        EXPECT_FALSE(window->isVisible()) << menu;
    }
    EXPECT_EQ(Form().SkinName(), "Elegance");
}

// Beside the program first (its build folder), then in the installed data folder.
TEST(ProgramFiles, TheHelpFileAndTheSkinsFolderAreFoundBesideTheProgramOrInTheInstalledDataFolder) {
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path root = folder.path().toStdString();
    const auto path = [&root](const char* name) { return QString::fromStdString((root / name).string()); };
    std::filesystem::create_directories(root / "bin");
    const QString bin = path("bin");
    EXPECT_EQ(FindHelpFile(bin), "");
    EXPECT_EQ(SkinsFolder(bin), path("bin/Skins"));
    std::filesystem::create_directories(root / "share/brenvale/Skins");
    std::ofstream(root / "share/brenvale/help.html") << "<html></html>";
    EXPECT_EQ(FindHelpFile(bin), path("share/brenvale/help.html"));
    EXPECT_EQ(SkinsFolder(bin), path("share/brenvale/Skins"));
    std::filesystem::create_directories(root / "bin/Skins");
    std::ofstream(root / "bin/help.html") << "<html></html>";
    EXPECT_EQ(FindHelpFile(bin), path("bin/help.html"));
    EXPECT_EQ(SkinsFolder(bin), path("bin/Skins"));
}

TEST_F(SecondaryWindowTest, OpenHelpFileSaysSoWhenThereIsNoHelpFile) {
    ASSERT_TRUE(FindHelpFile(QCoreApplication::applicationDirPath()).isEmpty());
    StartProgram();
    TriggerMenu("OpenHelpFile1");
    EXPECT_EQ(CountInformations("The help file help.html could not be found."), 1);
}

}  // namespace
}  // namespace brenvale::testing
