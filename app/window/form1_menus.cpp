// The main menu, the file list's context menu and the connections of every command.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "app/window/form1.h"

namespace brenvale {
namespace {

QAction* Command(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

}  // namespace

void TForm1::create_menus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    connect(Command(file, "AddFiles1", "Add Files"), &QAction::triggered, this, &TForm1::ButtonAddFileClick);
    file->addSeparator();
    connect(Command(file, "Convert1", "Convert"), &QAction::triggered, this, &TForm1::ButtonConvertClick);
    connect(Command(file, "ConversionLog1", "Conversion Log"), &QAction::triggered, this,
            &TForm1::ConversionLogRequested);
    connect(Command(file, "OpenOutputFolder1", "Open Output Folder"), &QAction::triggered, this,
            &TForm1::OpenOutputFolder1Click);
    file->addSeparator();
    connect(Command(file, "Exit1", "Exit"), &QAction::triggered, this, &TForm1::Exit1Click);

    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("Options1"));
    connect(Command(options, "SetGeneralOptions1", "Set Additional Options"), &QAction::triggered, this,
            &TForm1::SetGeneralOptionsRequested);

    QAction* skins = menuBar()->addAction(QStringLiteral("Skins"));
    skins->setObjectName(QStringLiteral("Skins1"));
    connect(skins, &QAction::triggered, this, &TForm1::SkinsRequested);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    connect(Command(help, "OpenHelpFile1", "Open Help File"), &QAction::triggered, this,
            &TForm1::OpenHelpFile1Click);
    help->addSeparator();
    connect(Command(help, "VisitOurWebsite1", "Visit Merrowin Website"), &QAction::triggered, this,
            &TForm1::VisitOurWebsite1Click);
    help->addSeparator();
    connect(Command(help, "About1", "About"), &QAction::triggered, this, &TForm1::AboutRequested);
}

void TForm1::create_list_menu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    connect(Command(PopupMenu1, "DeleteSelectedItem1", "Remove Selected Item"), &QAction::triggered, this,
            &TForm1::DeleteSelectedItem1Click);
    connect(Command(PopupMenu1, "ClearAllItems1", "Clear All Items"), &QAction::triggered, this,
            &TForm1::ClearAllItems1Click);
    PopupMenu1->addSeparator();
    connect(Command(PopupMenu1, "CheckAllItems1", "Check All Items"), &QAction::triggered, this,
            &TForm1::CheckAllItems1Click);
    connect(Command(PopupMenu1, "UncheckAllItems1", "Uncheck All Items"), &QAction::triggered, this,
            &TForm1::UncheckAllItems1Click);
    PopupMenu1->addSeparator();
    connect(Command(PopupMenu1, "PlaySelectedVideo1", "Play Selected Video"), &QAction::triggered, this,
            &TForm1::PlaySelectedVideo1Click);
    PopupMenu1->addSeparator();
    connect(Command(PopupMenu1, "ConvertFailedRowsAgain1", "Convert Failed Rows Again"), &QAction::triggered, this,
            &TForm1::ConvertFailedRowsAgain1Click);
    connect(Command(PopupMenu1, "ShowInFolder1", "Show in Folder"), &QAction::triggered, this,
            &TForm1::ShowInFolder1Click);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // During a run only what changes nothing of it may be chosen.
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        for (QAction* entry : PopupMenu1->actions())
            entry->setEnabled(!settings_locked_ || entry->objectName() == QLatin1String("ShowInFolder1"));
        PopupMenu1->popup(ListView1->viewport()->mapToGlobal(position));
    });
}

void TForm1::connect_commands() {
    connect(ButtonAddFile, &QToolButton::clicked, this, &TForm1::ButtonAddFileClick);
    connect(ButtonRemove, &QToolButton::clicked, this, &TForm1::DeleteSelectedItem1Click);
    connect(ButtonClear, &QToolButton::clicked, this, &TForm1::ClearAllItems1Click);
    connect(ButtonStopConvert, &QToolButton::clicked, this, &TForm1::ButtonStopConvertClick);
    connect(ButtonConvert, &QToolButton::clicked, this, &TForm1::ButtonConvertClick);
    connect(ButtonBrowseForFolder, &QToolButton::clicked, this, &TForm1::ButtonBrowseForFolderClick);
    connect(ListView1, &TListView::PathsDropped, this, &TForm1::AddPaths);
    // A choice of the user; choices made by the program do not run the handler.
    connect(ComboOutputFormat, &QComboBox::activated, this, &TForm1::ComboOutputFormatChange);
    connect_codec_lists();
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm1::TrackBar1Change);
    connect(TimerConvertAgain, &QTimer::timeout, this, &TForm1::TimerConvertAgainTimer);
    connect(&general_options_, &TGeneralOptions::DropDownItemsChanged, this, &TForm1::apply_drop_down_items);
}

// During a run the commands that would change it are off; the Conversion Log, the output
// folder, the skins and the help stay at hand.
void TForm1::set_run_commands_enabled(bool enabled) {
    for (const char* name : {"AddFiles1", "Convert1", "SetGeneralOptions1"})
        findChild<QAction*>(QString::fromLatin1(name))->setEnabled(enabled);
}

}  // namespace brenvale
