#include "app/window/form1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include "app/catalogue/format_presets.h"
#include "app/catalogue/volume_table.h"
#include "app/window/dialogs.h"
#include "app/window/maker_links.h"
#include "app/window/program_files.h"
#include "app/window/stored_settings.h"

namespace brenvale {

TForm1::TForm1(const QString& library_folder, TDialogs& dialogs)
    : main_thread_bridge_(*QCoreApplication::instance()), dialogs_(dialogs), library_folder_(library_folder) {
    create_controls();
    create_menus();
    create_list_menu();
    create_volume_menu();
    connect_commands();
    connect_playback_commands();
    connect_kept_list();
    list_saved_.start();
    if (!RIVUV_.LoadLibraries(library_folder.toStdString())) {
        dialogs_.Information(this, QStringLiteral("Some files are missing. Please re-install this software"));
        return;
    }
    setWindowTitle(QStringLiteral("Brenvale"));
    TrackBar1->setValue(kDefaultVolumePosition);
    TrackBar1Change(kDefaultVolumePosition);
    fill_format_list();
    for (const std::string& item : AspectRatioItems()) ComboAspectRatio->addItem(QString::fromStdString(item));
    ComboAspectRatio->setCurrentIndex(0);
    ComboLetterBox->addItems({QStringLiteral("None"), QStringLiteral("LetterBox")});
    ComboLetterBox->setCurrentIndex(0);
    TimerConvertAgain->stop();
    skins_.SetSkinsDirectory(SkinsFolder(QCoreApplication::applicationDirPath()));
    skins_.SetSkinName(kDefaultSkin);
    slots_.push_back(std::make_unique<TQueueSlot>(RIVUV_));
    attach_job_events(*slots_.front());
    attach_player_events();
    restore_list();
    started_ = true;
}

TForm1::~TForm1() {
    detach_job_events();
    for (const auto& slot : slots_) slot->Converter.ClearJobs();
}

// FormShow: the restored format fills the settings controls, once; without a stored place the
// window is centred, no larger than the screen.
void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (first_show_done_) return;
    first_show_done_ = true;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && !geometry_restored_) {
        const QRect available = screen->availableGeometry();
        const QSize frame_extra = frameGeometry().size() - size();
        resize(size().boundedTo(available.size() - frame_extra).expandedTo(minimumSizeHint()));
        QRect frame = frameGeometry();
        frame.moveCenter(available.center());
        move(frame.topLeft());
    }
    ComboOutputFormatChange();
}

// Refused for the whole run: in the pause between jobs the queue timer would go on alone.
void TForm1::closeEvent(QCloseEvent* event) {
    if (converting_ || settings_locked_) {
        event->ignore();
        return;
    }
    detach_job_events();
    for (const auto& slot : slots_) slot->Converter.StopJobs();
    SaveSettings();
    event->accept();
}

// Ends at once, without the close check; the settings are kept as the close box keeps them, and
// the component's destruction ends the jobs.
void TForm1::Exit1Click() {
    SaveSettings();
    QCoreApplication::exit(0);
}

// The help file opens at its table of contents.
void TForm1::OpenHelpFile1Click() {
    const QString help = FindHelpFile(QCoreApplication::applicationDirPath());
    if (help.isEmpty()) {
        dialogs_.Information(this, QStringLiteral("The help file help.html could not be found."));
        return;
    }
    QUrl contents = QUrl::fromLocalFile(help);
    contents.setFragment(QStringLiteral("contents"));
    if (!QDesktopServices::openUrl(contents)) {
        dialogs_.Information(this, QStringLiteral("No program to open the help file was found.\n"
                                                  "The help file is %1")
                                       .arg(help));
    }
}

void TForm1::VisitOurWebsite1Click() {
    if (!QDesktopServices::openUrl(QUrl(kMakerWebsite))) {
        dialogs_.Information(this, QStringLiteral("No web browser was found to open %1").arg(kMakerWebsite));
    }
}

}  // namespace brenvale
