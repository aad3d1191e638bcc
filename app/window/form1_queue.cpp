// The conversion queue: the checked rows converted in list order, as many at once as the run has
// slots (one by default: one file after another), each start paced by the queue timer.
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <exception>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/failure_reason.h"
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
    prepare_slots();
    TimerConvertAgain->start();
    user_aborted_ = false;
    lock_settings(true);
    for (const auto& slot : slots_) {
        slot->Converter.ClearJobs();
        set_ticket(*slot, -1);  // reports of an earlier run still queued are dropped
    }
    current_row_ = -1;
    claimed_outputs_.clear();
    rows_ended_ = 0;
    rows_done_ = 0;
    rows_failed_ = 0;
    rows_stopped_ = 0;
    conversion_log_.Clear();
    begin_run_figures();
    // Every slot gets a row at once; later rows follow as slots become free.
    start_next_job(*slots_.front());
    while (!queue_finished_ && settings_locked_) {
        TQueueSlot* slot = free_slot();
        if (!slot) break;
        start_next_job(*slot);
    }
}

bool TForm1::previews_pictures() const { return !IsStreamCopy(ComboVideoCodec->currentText().toStdString()); }

int TForm1::RunningJobs() const {
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return slot->Busy; }));
}

// As many slots as conversions may run at once. The extra converters are made when the count
// grows and kept: reports of a stopped run may still be on their way to a slot.
void TForm1::prepare_slots() {
    active_slots_ = static_cast<std::size_t>(general_options_.SimultaneousConversions());
    while (slots_.size() < active_slots_) {
        auto converter = std::make_unique<TConverter>();
        converter->LoadLibraries(library_folder_.toStdString());
        converter->SetLogLevel(RIVUV_.LogLevel());
        converter->SetProgressInterval(RIVUV_.ProgressInterval());
        converter->SetThreadPriority(RIVUV_.ThreadPriority());
        slots_.push_back(std::make_unique<TQueueSlot>(std::move(converter)));
        attach_job_events(*slots_.back());
    }
    several_slots_ = active_slots_ > 1;
    for (const auto& slot : slots_) slot->Converter.SetPreviewBitmap(false);
    previewed_slot_ = nullptr;
}

TQueueSlot* TForm1::free_slot() const {
    for (std::size_t index = 0; index < active_slots_; ++index) {
        if (!slots_[index]->Busy) return slots_[index].get();
    }
    return nullptr;
}

bool TForm1::any_slot_busy() const { return RunningJobs() > 0; }

void TForm1::set_slot_busy(TQueueSlot& slot, bool busy) {
    slot.Busy = busy;
    converting_ = any_slot_busy();
}

// The list and the folder checks of a new run, with their messages.
bool TForm1::run_can_start() {
    if (ListView1->rowCount() == 0) {
        dialogs_.Information(this, QStringLiteral("Please Add Files To Convert!"));
        return false;
    }
    return output_folder_usable();
}

// Also asked by Snapshot and Open Output Folder: a missing folder is reported and, when asked
// for, the folder browser opens.
bool TForm1::output_folder_usable(bool browse) {
    const QString folder = EditOutputFolder->text();
    if (folder.isEmpty()) {
        dialogs_.Information(this, QStringLiteral("Please select an output folder!"));
        if (browse) browse_for_output_folder();
        return false;
    }
    if (!QFileInfo(folder.trimmed()).isDir()) {
        dialogs_.Information(this, MissingFolderText(folder));
        if (browse) browse_for_output_folder();
        return false;
    }
    return true;
}

void TForm1::start_next_job(TQueueSlot& slot) {
    slot.Converter.ClearJobs();
    const std::string extension = format_entry_ ? brenvale::OutputExtension(*format_entry_) : std::string();
    last_row_reached_ = false;
    queue_finished_ = false;
    ++current_row_;
    const int last_row = ListView1->rowCount() - 1;
    while (current_row_ < last_row && !ListView1->Checked(current_row_)) ++current_row_;
    last_row_reached_ = current_row_ >= last_row;
    const bool checked = current_row_ <= last_row && ListView1->Checked(current_row_);
    set_slot_busy(slot, checked);
    if (checked) {
        if (!prepare_job(slot, extension)) return;
        // The preview follows the job started last; copied pictures are never decoded.
        if (previewed_slot_) previewed_slot_->Converter.SetPreviewBitmap(false);
        previewed_slot_ = &slot;
        slot.Converter.SetPreviewBitmap(previews_pictures());
    }
    try {
        slot.Converter.StartJobs(1);
    } catch (const std::exception&) {
        end_run();
        return;
    }
    if (last_row_reached_) queue_finished_ = true;
}

// False when the row failed before its job could start (the queue has moved on then).
bool TForm1::prepare_job(TQueueSlot& slot, const std::string& extension) {
    set_ticket(slot, current_row_);
    begin_job_figures(slot, current_row_);
    try {
        return add_job(slot, extension);
    } catch (const std::exception& error) {
        dialogs_.Information(this, QStringLiteral("Fail to add file to list!"));
        slot.Converter.ClearJobs();
        fail_row(slot, QString::fromStdString(error.what()));
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

bool TForm1::add_job(TQueueSlot& slot, const std::string& extension) {
    const std::string source = ListView1->Caption(current_row_).trimmed().toStdString();
    // The trimmed folder, as checked when the run started.
    const std::string output = output_path_for(source, extension);
    TConverter& converter = slot.Converter;
    TInputOptions input;
    input.FileName = source;
    const int index = converter.AddInput(source, &input);
    if (index < 0) {
        fail_row(slot, QString::fromStdString(converter.LastError()));
        return false;
    }
    // The facts kept when the row was added; the shown values as the list holds them.
    TSourceRow row = ListView1->RowData(current_row_).value<TSourceRow>();
    row.VideoSize = ListView1->Value(current_row_, TRowValue::VideoSize).toStdString();
    row.FrameRate = ListView1->Value(current_row_, TRowValue::FrameRate).toStdString();
    row.Duration = ListView1->Value(current_row_, TRowValue::Duration).toStdString();
    TOutputOptions options;
    FillJobOutputOptions(conversion_settings(), row, options);
    if (converter.AddOutput(index, output, &options)) {
        claimed_outputs_.insert(output);
        ListView1->SetRowOutput(current_row_, QString::fromStdString(output));
        return true;
    }
    const QString reason = QString::fromStdString(converter.LastError());
    converter.DeleteJob(index);
    fail_row(slot, reason);
    return false;
}

// An output another running job of this run writes is never given again, even when
// overwriting: two jobs must not write one file.
std::string TForm1::output_path_for(const std::string& source, const std::string& extension) const {
    const std::string folder = EditOutputFolder->text().trimmed().toStdString();
    const bool overwrite = general_options_.Overwrite();
    if (active_slots_ == 1) return OutputPathFor(source, folder, extension, overwrite);
    const auto taken = [this](const std::string& path) { return PathTaken(path) || claimed_outputs_.contains(path); };
    const std::string path = OutputPathFor(source, folder, extension, overwrite, taken);
    if (!claimed_outputs_.contains(path)) return path;
    return OutputPathFor(source, folder, extension, false, taken);
}

// A row whose job never started: the queue goes on, or ends after the last row once the
// other running jobs have ended.
void TForm1::fail_row(TQueueSlot& slot, const QString& reason) {
    const QString file = slot.CurrentTicket().File;
    set_row_outcome(current_row_, QStringLiteral("Fail"),
                    QString::fromStdString(ReadableReason(file.toStdString(), reason.toStdString())));
    conversion_log_.Append(file, QStringLiteral("Fail: ") + reason, TLogKind::Problem);
    job_ended(slot);
    count_outcome(QStringLiteral("Fail"));
    set_slot_busy(slot, false);
    if (last_row_reached_) {
        queue_finished_ = true;
        if (!converting_) finish_run();
    } else {
        timer_ticks_ = 0;
    }
}

void TForm1::finish_run() {
    TimerConvertAgain->stop();
    for (const auto& slot : slots_) slot->Converter.ClearJobs();
    notify_run_end();
    dialogs_.Information(this, QStringLiteral("All Conversions Completed\n%1 done, %2 failed, %3 stopped")
                                   .arg(rows_done_)
                                   .arg(rows_failed_)
                                   .arg(rows_stopped_));
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
    for (const auto& slot : slots_) {
        slot->Converter.StopJobs();
        slot->Busy = false;
    }
    ProgressBar1->setValue(0);
    lock_settings(false);
    converting_ = false;
    show_run_figures();
}

// Starts the next row in a free slot on the second tick after one was seen free; after the
// last row, the run ends once every job has ended.
void TForm1::TimerConvertAgainTimer() {
    TQueueSlot* slot = free_slot();
    if (!slot) return;
    if (queue_finished_) {
        if (!converting_) finish_run();
        return;
    }
    if (++timer_ticks_ < kTicksBetweenJobs) return;
    timer_ticks_ = 0;
    start_next_job(*slot);
}

void TForm1::ButtonStopConvertClick() {
    if (converting_) {
        for (const auto& slot : slots_) slot->Converter.PauseJobs();
        if (!dialogs_.Confirmation(this, QStringLiteral("Stop all conversions?"))) {
            for (const auto& slot : slots_) slot->Converter.ResumeJobs();
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
    // The video controls stay off for an audio-only format, the volume for a copied sound.
    enable_video_controls(!locked && !audio_only());
    enable_volume();
    set_run_commands_enabled(!locked);
}

}  // namespace brenvale
