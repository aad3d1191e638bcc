// The conversion queue: the checked rows converted one job at a time, paced by the queue timer.
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>

#include "app/catalogue/job_options.h"
#include "app/catalogue/output_naming.h"
#include "app/window/desktop_notifier.h"
#include "app/window/dialogs.h"
#include "app/window/form1.h"

namespace brenvale {
namespace {

constexpr int kTicksBetweenJobs = 2;

QString MissingFolderText(const QString& folder) {
    return QStringLiteral("The output folder \"%1\"\ndoes not exist or has been deleted!\n"
                          "Please choose a new output folder.")
        .arg(folder);
}

}  // namespace

void TForm1::ButtonConvertClick() {
    if (adding_files_) return;
    clear_progress_values();
    if (!run_can_start()) return;
    ButtonStopPlayClick();
    RIVUV_.SetPreviewBitmap(true);
    converting_ = true;
    TimerConvertAgain->start();
    user_aborted_ = false;
    lock_settings(true);
    RIVUV_.ClearJobs();
    set_ticket(-1);  // reports of an earlier run still queued are dropped
    current_row_ = -1;
    rows_ended_ = 0;
    rows_done_ = 0;
    rows_failed_ = 0;
    conversion_log_.Clear();
    rows_to_convert_ = 0;
    for (int row = 0; row < ListView1->rowCount(); ++row) rows_to_convert_ += ListView1->Checked(row) ? 1 : 0;
    show_overall_progress();
    start_next_job();
}

// The list and the folder checks of a new run, with their messages.
bool TForm1::run_can_start() {
    if (ListView1->rowCount() == 0) {
        dialogs_.Information(this, QStringLiteral("Please Add Files To Convert!"));
        return false;
    }
    return output_folder_usable();
}

// Also asked by Snapshot: a missing folder is reported and the folder browser opens.
bool TForm1::output_folder_usable() {
    const QString folder = EditOutputFolder->text();
    if (folder.isEmpty()) {
        dialogs_.Information(this, QStringLiteral("Please select an output folder!"));
        browse_for_output_folder();
        return false;
    }
    if (!QFileInfo(folder.trimmed()).isDir()) {
        dialogs_.Information(this, MissingFolderText(folder));
        browse_for_output_folder();
        return false;
    }
    return true;
}

void TForm1::start_next_job() {
    RIVUV_.ClearJobs();
    ProgressBar1->setValue(0);
    const std::string extension = format_entry_ ? brenvale::OutputExtension(*format_entry_) : std::string();
    last_row_reached_ = false;
    queue_finished_ = false;
    ++current_row_;
    const int last_row = ListView1->rowCount() - 1;
    while (current_row_ < last_row && !ListView1->Checked(current_row_)) ++current_row_;
    last_row_reached_ = current_row_ >= last_row;
    if (current_row_ <= last_row && ListView1->Checked(current_row_)) {
        if (!prepare_job(extension)) return;
    } else {
        converting_ = false;
    }
    try {
        RIVUV_.StartJobs(1);
    } catch (const std::exception&) {
        end_run();
        return;
    }
    if (last_row_reached_) queue_finished_ = true;
}

// False when the row failed before its job could start (the queue has moved on then).
bool TForm1::prepare_job(const std::string& extension) {
    set_ticket(current_row_);
    try {
        return add_job(extension);
    } catch (const std::exception& error) {
        dialogs_.Information(this, QStringLiteral("Fail to add file to list!"));
        RIVUV_.ClearJobs();
        fail_row(QString::fromStdString(error.what()));
        return false;
    }
}

TConversionSettings TForm1::conversion_settings() const {
    TConversionSettings settings;
    settings.Entry = format_entry_;
    settings.Controls.VideoCodec = ComboVideoCodec->currentText().toStdString();
    settings.Controls.AudioCodec = ComboAudioCodec->currentText().toStdString();
    settings.Controls.VideoSize = ComboVideoSize->currentText().toStdString();
    settings.Controls.VideoBitrate = ComboVideoBitrate->currentText().toStdString();
    settings.Controls.VideoFramerate = ComboVideoFramerate->currentText().toStdString();
    settings.Controls.AudioBitrate = ComboAudioBitrate->currentText().toStdString();
    settings.Controls.AudioChannels = ComboAudioChannels->currentText().toStdString();
    settings.Controls.SamplingRate = ComboSamplingRate->currentText().toStdString();
    settings.VolumeValue = volume_value_;
    settings.Aspect = static_cast<TAspectChoice>(std::max(0, ComboAspectRatio->currentIndex()));
    return settings;
}

bool TForm1::add_job(const std::string& extension) {
    const std::string source = ListView1->Caption(current_row_).trimmed().toStdString();
    // The trimmed folder, as checked when the run started.
    const std::string output = OutputPathFor(source, EditOutputFolder->text().trimmed().toStdString(), extension,
                                             general_options_.Overwrite());
    TInputOptions input;
    input.FileName = source;
    const int index = RIVUV_.AddInput(source, &input);
    if (index < 0) {
        fail_row(QString::fromStdString(RIVUV_.LastError()));
        return false;
    }
    // The facts kept when the row was added; the shown values as the list holds them.
    TSourceRow row = ListView1->RowData(current_row_).value<TSourceRow>();
    row.VideoSize = ListView1->Value(current_row_, TRowValue::VideoSize).toStdString();
    row.FrameRate = ListView1->Value(current_row_, TRowValue::FrameRate).toStdString();
    row.Duration = ListView1->Value(current_row_, TRowValue::Duration).toStdString();
    TOutputOptions options;
    FillJobOutputOptions(conversion_settings(), row, options);
    if (RIVUV_.AddOutput(index, output, &options)) return true;
    const QString reason = QString::fromStdString(RIVUV_.LastError());
    RIVUV_.DeleteJob(index);
    fail_row(reason);
    return false;
}

// A row whose job never started: the queue goes on, or ends after the last row.
void TForm1::fail_row(const QString& reason) {
    set_row_outcome(current_row_, QStringLiteral("Fail"), reason);
    conversion_log_.Append(current_ticket().File, QStringLiteral("Fail: ") + reason);
    count_outcome(QStringLiteral("Fail"));
    if (last_row_reached_) {
        finish_run();
    } else {
        timer_ticks_ = 0;
        converting_ = false;
    }
}

void TForm1::finish_run() {
    TimerConvertAgain->stop();
    RIVUV_.ClearJobs();
    notify_run_end();
    dialogs_.Information(this, QStringLiteral("All Conversions Completed"));
    end_run();
}

// A user working in another window hears that the run has ended, and how it went.
void TForm1::notify_run_end() {
    if (isActiveWindow()) return;
    const auto files = [](int count) { return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count); };
    NotifyDesktop(QStringLiteral("All Conversions Completed"),
                  QStringLiteral("%1 done, %2 failed").arg(files(rows_done_)).arg(rows_failed_));
}

// No further job starts; a running one is asked to end and still reports its outcome.
void TForm1::end_run() {
    queue_finished_ = true;
    TimerConvertAgain->stop();
    RIVUV_.StopJobs();
    ProgressBar1->setValue(0);
    lock_settings(false);
    converting_ = false;
}

void TForm1::TimerConvertAgainTimer() {
    if (converting_) return;
    if (queue_finished_) return finish_run();
    if (++timer_ticks_ < kTicksBetweenJobs) return;
    timer_ticks_ = 0;
    converting_ = true;
    start_next_job();
}

void TForm1::ButtonStopConvertClick() {
    if (converting_) {
        RIVUV_.PauseJobs();
        if (!dialogs_.Confirmation(this, QStringLiteral("Stop all conversions?"))) {
            RIVUV_.ResumeJobs();
            return;
        }
        user_aborted_ = true;
    }
    end_run();
}

void TForm1::lock_settings(bool locked) {
    settings_locked_ = locked;
    for (QWidget* control : std::initializer_list<QWidget*>{
             ButtonAddFile, ButtonClear, ButtonRemove, ButtonConvert, ComboOutputFormat, ComboAudioBitrate,
             ComboAudioChannels, ComboSamplingRate, ComboAudioCodec, TrackBar1, ComboAspectRatio})
        control->setEnabled(!locked);
    // The video controls stay off for an audio-only format.
    enable_video_controls(!locked && !audio_only());
    set_menus_enabled(!locked);
}

}  // namespace brenvale
