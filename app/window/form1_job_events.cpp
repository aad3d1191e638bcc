// The converter's reports: copied on the job's thread, shown on the window thread in the row
// of the job that sent them.
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>

#include <cmath>

#include "app/catalogue/progress_figures.h"
#include "app/window/form1.h"
#include "app/window/play_panel.h"

namespace brenvale {
namespace {

QString FileSizeText(std::int64_t bytes) {
    // Ties to even, as the default floating-point rounding does.
    return QStringLiteral("File Size : %1 KBytes").arg(static_cast<qint64>(std::nearbyint(bytes / 1000.0)));
}

}  // namespace

void TForm1::attach_job_events() {
    RIVUV_.SetOnProgress([this](std::int32_t, std::int32_t frame_number, std::int32_t, std::int32_t current_duration,
                                float, float, std::int64_t current_size, std::int32_t total_duration) {
        const TJobTicket ticket = current_ticket();
        QMetaObject::invokeMethod(
            this,
            [=, this] { RIVUVProgress(ticket, frame_number, current_duration, current_size, total_duration); },
            Qt::QueuedConnection);
    });
    RIVUV_.SetOnTerminate([this](std::int32_t index, bool, bool exception, const std::string& message) {
        const TJobTicket ticket = current_ticket();
        const QString text = QString::fromStdString(message);
        QMetaObject::invokeMethod(
            this, [=, this] { RIVUVTerminate(ticket, index, exception, text); }, Qt::QueuedConnection);
    });
    // Any thread: the line goes with the file of the job the window runs (one at a time).
    RIVUV_.SetOnLog([this](std::int32_t, TLogLevel, const std::string& line) {
        const TJobTicket ticket = current_ticket();
        if (ticket.Row >= 0) conversion_log_.Append(ticket.File, QString::fromStdString(line));
    });
    // Already on the window thread, while the job waits.
    RIVUV_.SetOnPreviewBitmap(
        [this](std::int32_t, TBitmap& bitmap, std::int32_t, std::int64_t) { RIVUVPreviewBitmap(bitmap); });
}

void TForm1::detach_job_events() {
    RIVUV_.SetOnProgress({});
    RIVUV_.SetOnTerminate({});
    RIVUV_.SetOnPreviewBitmap({});
    RIVUV_.SetOnBeforeHook({});
    RIVUV_.SetOnCustomHook({});
    RIVUV_.SetOnLog({});
}

TForm1::TJobTicket TForm1::current_ticket() const {
    const std::lock_guard<std::mutex> lock(ticket_lock_);
    return ticket_;
}

void TForm1::set_ticket(int row) {
    const QString file = row >= 0 ? ListView1->Caption(row).trimmed() : QString();
    const std::lock_guard<std::mutex> lock(ticket_lock_);
    ticket_ = {row, file, ++job_serial_};
}

void TForm1::RIVUVProgress(TJobTicket ticket, std::int32_t frame_number, std::int32_t current_duration,
                           std::int64_t current_size, std::int32_t total_duration) {
    if (ticket.Serial != current_ticket().Serial) return;
    ListView1->scrollToItem(ListView1->item(ticket.Row, 0));
    // Without a known total the share stays as it was.
    const int percent = ProgressPercent(current_duration, total_duration);
    if (percent >= 0) {
        ListView1->SetValue(ticket.Row, TRowValue::Progress, QStringLiteral("%1%").arg(percent));
        ProgressBar1->setValue(percent);
    }
    StatusPanels[1]->setText(FileSizeText(current_size));
    ListView1->SetValue(ticket.Row, TRowValue::Frames,
                        frame_number == -1 ? QStringLiteral(" ") : QString::number(frame_number));
}

void TForm1::RIVUVTerminate(TJobTicket ticket, std::int32_t index, bool exception, const QString& message) {
    if (ticket.Serial != current_ticket().Serial) return;
    converting_ = false;
    ButtonStopPlayClick();
    if (index >= 0) {
        const QString outcome = exception ? QStringLiteral("Fail") : user_aborted_ ? QStringLiteral("Abort")
                                                                                   : QStringLiteral("Done");
        set_row_outcome(ticket.Row, outcome, exception ? message : QString());
        count_outcome(outcome);
    }
    if (queue_finished_ && index < 0) {
        RIVUV_.ClearJobs();
        ProgressBar1->setValue(0);
        converting_ = false;
    }
}

void TForm1::RIVUVPreviewBitmap(TBitmap& bitmap) { sPanelPlay->ShowPreview(bitmap); }

void TForm1::count_outcome(const QString& outcome) {
    ++rows_ended_;
    if (outcome == QLatin1String("Done")) ++rows_done_;
    if (outcome == QLatin1String("Fail")) ++rows_failed_;
    show_overall_progress();
}

void TForm1::show_overall_progress() {
    StatusPanels[2]->setText(QStringLiteral("%1/%2").arg(rows_ended_).arg(rows_to_convert_));
    StatusPanels[2]->setToolTip(QStringLiteral("%1 of %2 checked files converted").arg(rows_ended_).arg(rows_to_convert_));
}

}  // namespace brenvale
