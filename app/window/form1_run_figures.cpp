// The figures of a run: each converting row's speed and time left, and the whole run's share
// done and time left in the progress bar and the status bar, its rows weighed by their length.
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

#include "app/catalogue/job_options.h"
#include "app/window/form1.h"

namespace brenvale {
namespace {

// A row of unknown length weighs as much as the run's average known one, or a minute.
constexpr std::int64_t kUnknownWeightMs = 60000;

QString RunningDetails(const TProgressClock& clock) {
    QString details = QString::fromStdString(SpeedText(clock));
    if (const std::optional<std::int64_t> left = clock.RemainingMs())
        details += QStringLiteral(", %1 left").arg(QString::fromStdString(ClockText(*left)));
    return details;
}

}  // namespace

std::int64_t TForm1::known_length_ms(int row) const {
    const QVariant data = ListView1->RowData(row);
    return data.isValid() ? data.value<TSourceRow>().DurationMs : -1;
}

void TForm1::begin_run_figures() {
    rows_to_convert_ = 0;
    rows_started_ = 0;
    std::int64_t known_ms = 0;
    int known_rows = 0;
    for (int row = 0; row < ListView1->rowCount(); ++row) {
        if (!ListView1->Checked(row)) continue;
        ++rows_to_convert_;
        if (const std::int64_t length = known_length_ms(row); length > 0) {
            known_ms += length;
            ++known_rows;
        }
    }
    unknown_weight_ms_ = known_rows > 0 ? known_ms / known_rows : kUnknownWeightMs;
    run_total_ms_ = known_ms + (rows_to_convert_ - known_rows) * unknown_weight_ms_;
    run_ended_ms_ = 0;
    run_percent_ = 0;
    run_clock_ = TProgressClock();
    run_elapsed_.start();
    show_run_figures();
}

void TForm1::begin_job_figures(TQueueSlot& slot, int row) {
    ++rows_started_;
    const std::int64_t length = known_length_ms(row);
    slot.WeightMs = length > 0 ? length : unknown_weight_ms_;
    // The engine's total is the source's length unless it gave none (a recording limit then).
    slot.LengthKnown = RecordingTimeFor(ListView1->Value(row, TRowValue::Duration).toStdString()) < 0;
    slot.DoneMs = 0;
    slot.Clock = TProgressClock();
    slot.Running.start();
    show_run_figures();
}

void TForm1::job_progressed(TQueueSlot& slot, int row, std::int32_t frame_number, std::int32_t current_ms,
                            std::int32_t total_ms) {
    slot.Clock.Report(slot.Running.elapsed(), current_ms, slot.LengthKnown ? total_ms : 0, frame_number);
    if (slot.LengthKnown) slot.DoneMs = std::clamp<std::int64_t>(current_ms, 0, slot.WeightMs);
    ListView1->SetValue(row, TRowValue::Details, RunningDetails(slot.Clock));
    show_run_figures();
}

// The row's whole weight counts as done, whatever its outcome.
void TForm1::job_ended(TQueueSlot& slot) {
    run_ended_ms_ += slot.WeightMs;
    slot.WeightMs = 0;
    slot.DoneMs = 0;
}

QString TForm1::took_text(const TQueueSlot& slot) const {
    return QStringLiteral("took %1").arg(QString::fromStdString(ClockText(slot.Running.elapsed())));
}

void TForm1::show_run_figures() {
    std::int64_t done_ms = run_ended_ms_;
    for (const auto& slot : slots_) done_ms += slot->Busy ? slot->DoneMs : 0;
    run_clock_.Report(run_elapsed_.elapsed(), done_ms, run_total_ms_);
    // The share shown never falls back, even when a row's own figure does at its start.
    run_percent_ = std::max(run_percent_, ProgressPercent(done_ms, run_total_ms_));
    const int percent = run_percent_;
    const std::optional<std::int64_t> left = run_clock_.RemainingMs();
    const QString left_text = left ? QStringLiteral(", %1 left").arg(QString::fromStdString(ClockText(*left))) : QString();
    if (settings_locked_) {
        ProgressBar1->setValue(percent);
        ProgressBar1->setFormat(QStringLiteral("%p%") + left_text);
        StatusPanels[0]->setText(
            QStringLiteral("Converting %1 of %2").arg(std::min(std::max(rows_started_, 1), rows_to_convert_)).arg(rows_to_convert_));
    } else {
        ProgressBar1->setFormat(QStringLiteral("%p%"));
        StatusPanels[0]->setText(QStringLiteral("Ready"));
    }
    StatusPanels[2]->setText(QStringLiteral("%1/%2 files").arg(rows_ended_).arg(rows_to_convert_) +
                             (settings_locked_ ? QStringLiteral(", %1%").arg(percent) + left_text : QString()));
    StatusPanels[2]->setToolTip(QStringLiteral("%1 of %2 checked files converted").arg(rows_ended_).arg(rows_to_convert_));
}

}  // namespace brenvale
