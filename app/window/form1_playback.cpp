// The playback panel: the selected row's file played through the player into the picture area,
// with Play, Pause and Stop, the position row (Space pauses while the panel has the focus);
// the placeholder returns whenever nothing plays.
#include <QFrame>
#include <QMetaObject>
#include <QShortcut>
#include <QToolButton>

#include "app/window/form1.h"
#include "app/window/play_panel.h"
#include "app/window/position_bar.h"

namespace brenvale {

void TForm1::connect_playback_commands() {
    connect(ListView1, &QTableWidget::itemSelectionChanged, this, &TForm1::ListView1SelectItem);
    connect(ButtonPlay, &QToolButton::clicked, this, &TForm1::ButtonPlayClick);
    connect(ButtonPause, &QToolButton::clicked, this, &TForm1::ButtonPauseClick);
    connect(ButtonStopPlay, &QToolButton::clicked, this, &TForm1::ButtonStopPlayClick);
    connect(ButtonVolume, &QToolButton::clicked, this, &TForm1::ButtonVolumeClick);
    connect(ButtonSnapshot, &QToolButton::clicked, this, &TForm1::ButtonSnapshotClick);
    connect(PositionBar, &TPositionBar::SeekRequested, this, &TForm1::PositionBarSeek);
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), Panelx);
    space->setObjectName(QStringLiteral("ShortcutPause"));
    space->setContext(Qt::WidgetWithChildrenShortcut);
    connect(space, &QShortcut::activated, this, &TForm1::ButtonPauseClick);
}

void TForm1::attach_player_events() {
    FFPlayer_.OnFileOpen = [this](TCustomPlayer&, std::int64_t duration, std::int32_t, std::int32_t,
                                  std::int32_t& screen_width, std::int32_t& screen_height) {
        FFPlayerFileOpen(duration, screen_width, screen_height);
    };
    FFPlayer_.OnState = [this](TCustomPlayer&, TPlayState state) { FFPlayerState(state); };
    FFPlayer_.OnPosition = [this](TCustomPlayer&, std::int64_t position) { FFPlayerPosition(position); };
}

// A running playback goes on; the next Play opens the newly selected file.
void TForm1::ListView1SelectItem() {
    const int row = ListView1->SelectedRow();
    if (row < 0) return;
    selected_row_ = row;
    selected_file_ = ListView1->Caption(row);
}

void TForm1::ButtonPlayClick() {
    if (converting_ || ListView1->SelectedRow() < 0) return;
    if (!FFPlayer_.LibrariesLoaded() && !FFPlayer_.LoadLibraries(library_folder_.toStdString())) return;
    playback_stopped_ = false;
    // Only a playback that is really paused resumes: after its end the file plays again.
    if (playback_paused_ && FFPlayer_.Paused()) {
        FFPlayer_.TogglePause();
        playback_paused_ = false;
        return;
    }
    playback_paused_ = false;
    FFPlayer_.Close(true);
    ++playback_serial_;  // an end posted by the previous playback no longer applies
    sPanelPlay->ShowPlayback();
    if (!FFPlayer_.Open(selected_file_.toStdString(), sPanelPlay)) {
        show_placeholder();
        return;
    }
    sPanelPlay->setFocus(Qt::OtherFocusReason);  // Space pauses from now on
}

void TForm1::PlaySelectedVideo1Click() {
    if (!converting_) ButtonPlayClick();
}

// Toggles; the flag follows the player, so a second Pause resumes and the next Play does not
// pause again.
void TForm1::ButtonPauseClick() {
    if (converting_ || playback_stopped_ || !FFPlayer_.Playing()) return;
    FFPlayer_.TogglePause();
    playback_paused_ = FFPlayer_.Paused();
}

void TForm1::ButtonStopPlayClick() {
    playback_paused_ = false;
    playback_stopped_ = true;
    FFPlayer_.Close(true);
    show_placeholder();
    sPanelPlay->repaint();
}

// The picture is drawn at the size of the picture area whatever the source's size.
void TForm1::FFPlayerFileOpen(std::int64_t duration, std::int32_t& screen_width, std::int32_t& screen_height) {
    screen_width = sPanelPlay->width();
    screen_height = sPanelPlay->height();
    PositionBar->Start(duration);
}

// Main thread: the player hands its position over and waits.
void TForm1::FFPlayerPosition(std::int64_t position) {
    if (sPanelPlay->ShowingPlayback()) PositionBar->SetPosition(position);
}

void TForm1::PositionBarSeek(std::int64_t position) {
    if (!converting_ && FFPlayer_.Playing()) FFPlayer_.Seek(position);
}

// Play thread: psEnd comes with every refresh after the end of the input until the close is
// done. Closing without waiting only asks for it; the placeholder is the window thread's.
void TForm1::FFPlayerState(TPlayState state) {
    if (state != TPlayState::psEnd) return;
    const std::uint64_t playback = playback_serial_;
    FFPlayer_.Close(false);
    QMetaObject::invokeMethod(this, [this, playback] { show_end_of_playback(playback); }, Qt::QueuedConnection);
}

void TForm1::show_end_of_playback(std::uint64_t playback) {
    if (playback == playback_serial_ && sPanelPlay->ShowingPlayback()) show_placeholder();
}

void TForm1::show_placeholder() {
    sPanelPlay->ShowPlaceholder();
    PositionBar->Clear();
}

}  // namespace brenvale
