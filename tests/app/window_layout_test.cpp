// The window's controls, captions, hints and menus as the user sees them.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "window_fixture.h"

namespace brenvale::testing {
namespace {

QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
    return texts;
}

TEST_F(WindowTest, StartsWithItsControls) {
    StartWindow();
    EXPECT_EQ(Form().windowTitle(), "Brenvale");
    EXPECT_EQ(Form().centralWidget()->minimumHeight() + Form().statusBar()->height(), 564);
    EXPECT_EQ(Form().centralWidget()->minimumWidth(), 763);

    struct Button {
        const char* name;
        const char* caption;
        const char* hint;
    };
    for (const Button& button : {Button{"ButtonAddFile", "Add Video ", "Add Files to Convert"},
                                 Button{"ButtonRemove", "Remove", "Remove A Single File From List"},
                                 Button{"ButtonClear", "Clear All ", "Clear All Files Listed"},
                                 Button{"ButtonStopConvert", "Stop Convert", "Stop Conversion"},
                                 Button{"ButtonConvert", "Convert Now !", "Start Conversion"},
                                 Button{"ButtonBrowseForFolder", "", "Browse For Folder"}}) {
        auto* control = Find<QAbstractButton>(button.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->text(), button.caption) << button.name;
        EXPECT_EQ(control->toolTip(), button.hint) << button.name;
        EXPECT_EQ(control->toolTipDuration(), 30000) << button.name;
    }
    EXPECT_EQ(Find<QWidget>("ComboLetterBox")->toolTip(), "Add a letterbox to keep video aspect ratio");
    EXPECT_EQ(Find<QWidget>("TrackBar1")->toolTip(), "100% is the original video volume");
    EXPECT_FALSE(Find<QWidget>("ComboAspectRatio")->isVisible());
    EXPECT_EQ(Find<QLabel>("LabelVolume")->text(), "100%");
    EXPECT_EQ(Form().VolumeValue(), 256);
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->text(), "Ready");
    for (const char* combo : {"ComboOutputFormat", "ComboVideoCodec", "ComboAudioChannels", "ComboLetterBox"})
        EXPECT_FALSE(Find<QComboBox>(combo)->isEditable()) << combo;
    QStringList zoom;
    for (int item = 0; item < Find<QComboBox>("ComboLetterBox")->count(); ++item)
        zoom << Find<QComboBox>("ComboLetterBox")->itemText(item);
    EXPECT_EQ(zoom, QStringList({"None", "LetterBox"}));
}

TEST_F(WindowTest, ListHasEightValuesPerRowUnderItsColumns) {
    StartWindow();
    TListView& list = List();
    const QStringList titles = {"Video File Name", "Video Size", "FrameRate", "Duration", "Output", "Progress", "Frames"};
    const int widths[] = {280, 90, 90, 75, 65, 60, 60};
    for (int column = 0; column < titles.size(); ++column) {
        EXPECT_EQ(list.horizontalHeaderItem(column)->text(), titles[column]);
        EXPECT_EQ(list.columnWidth(column), widths[column]);
        EXPECT_FALSE(list.isColumnHidden(column));
    }
    EXPECT_TRUE(list.isColumnHidden(7));
    // The details take the width left; at the first start's size, when the screen has room for
    // it, all of them are seen.
    EXPECT_EQ(list.horizontalHeaderItem(8)->text(), "Details");
    Form().resize(960, 600);
    QCoreApplication::processEvents();
    EXPECT_GE(list.columnWidth(8), 150);
    EXPECT_LE(list.horizontalHeader()->length(), list.viewport()->width());
    EXPECT_EQ(list.columnCount(), 1 + kRowValueCount);
    EXPECT_TRUE(list.showGrid());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(WindowTest, MenusCarryTheirCommands) {
    StartWindow();
    QStringList top;
    for (const QAction* action : Form().menuBar()->actions()) top << action->text();
    EXPECT_EQ(top, QStringList({"File", "Options", "Skins", "Help"}));
    EXPECT_EQ(MenuTexts(Find<QMenu>("File1")),
              QStringList({"Add Files", "-", "Convert", "Conversion Log", "Open Output Folder", "-", "Exit"}));
    EXPECT_EQ(MenuTexts(Find<QMenu>("Options1")), QStringList({"Set Additional Options"}));
    EXPECT_EQ(Form().menuBar()->actions()[2]->menu(), nullptr);
    EXPECT_EQ(MenuTexts(Find<QMenu>("Help1")),
              QStringList({"Open Help File", "-", "Visit Merrowin Website", "-", "About"}));
    EXPECT_EQ(MenuTexts(Find<QMenu>("PopupMenu1")),
              QStringList({"Remove Selected Item", "Clear All Items", "-", "Check All Items", "Uncheck All Items", "-",
                           "Play Selected Video", "-", "Convert Failed Rows Again", "Show in Folder"}));
}

// The list takes the room a larger window gives; the settings block keeps its size at the
// bottom left, above the progress bar, and the status bar stays at the bottom.
TEST_F(WindowTest, ResizingGrowsTheListAndKeepsTheSettingsInTheirPlace) {
    StartWindow();
    QWidget* settings = Find<QWidget>("SettingsArea");
    QWidget* bar = Find<QWidget>("ProgressBar1");
    const QSize settings_size = settings->size();
    for (const QSize size : {QSize(763, 600), QSize(1280, 900), QSize(960, 640)}) {
        Form().resize(size);
        QCoreApplication::processEvents();
        const QWidget* client = Form().centralWidget();
        SCOPED_TRACE(client->width());
        EXPECT_EQ(settings->size(), settings_size);
        EXPECT_EQ(settings->x(), 0);
        EXPECT_EQ(List().geometry().bottom() + 5, settings->y());
        EXPECT_EQ(settings->geometry().bottom() + 5, bar->y());
        EXPECT_EQ(bar->geometry().bottom() + 5, client->height());
        EXPECT_EQ(List().width(), client->width() - 8);
        EXPECT_EQ(Form().statusBar()->geometry().bottom(), Form().height() - 1);
    }
    EXPECT_EQ(List().height(), Form().centralWidget()->height() - 60 - settings_size.height() - 30);
}

}  // namespace
}  // namespace brenvale::testing
