// The converter's reports: copied on the job's thread, shown on the window thread in the row
// of the job that sent them.
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>

#include <cmath>

#include "app/catalogue/failure_reason.h"
#include "app/window/form1.h"
#include "app/window/play_panel.h"

namespace brenvale {
namespace {

QString Readable(const QString& file, const QString& message) {
    return QString::fromStdString(ReadableReason(file.toStdString(), message.toStdString()));
}

QString FileSizeText(std::int64_t bytes) {
    // Ties to even, as the default floating-point rounding does.
    return QStringLiteral("File Size : %1 KBytes").arg(static_cast<qint64>(std::nearbyint(bytes / 1000.0)));
}

}  // namespace

void TForm1::attach_job_events(TQueueSlot& slot) {
    TConverter& converter = slot.Converter;
    converter.SetOnProgress([this, &slot](std::int32_t, std::int32_t frame_number, std::int32_t,
                                          std::int32_t current_duration, float, float, std::int64_t current_size,
                                          std::int32_t total_duration) {
        const TJobTicket ticket = slot.CurrentTicket();
        QMetaObject::invokeMethod(
            this,
            [=, this, &slot] {
                RIVUVProgress(slot, ticket, frame_number, current_duration, current_size, total_duration);
            },
            Qt::QueuedConnection);
    });
    converter.SetOnTerminate([this, &slot](std::int32_t index, bool, bool exception, const std::string& message) {
        const TJobTicket ticket = slot.CurrentTicket();
        const QString text = QString::fromStdString(message);
        QMetaObject::invokeMethod(
            this, [=, this, &slot] { RIVUVTerminate(slot, ticket, index, exception, text); }, Qt::QueuedConnection);
    });
    // Any thread. Every converter hears every line, and names the job only when the line is its
    // own; with one slot, lines of no job (the codecs' helper threads) go with its file too.
    converter.SetOnLog([this, &slot](std::int32_t index, TLogLevel level, const std::string& line) {
        if (index < 0 && several_slots_) return;
        const TJobTicket ticket = slot.CurrentTicket();
        // A job's fatal error comes as llQuiet, the libraries' errors and warnings as llError.
        const TLogKind kind = level <= TLogLevel::llError ? TLogKind::Problem : TLogKind::Information;
        if (ticket.Row >= 0) conversion_log_.Append(ticket.File, QString::fromStdString(line), kind);
    });
    // Already on the window thread, while the job waits.
    converter.SetOnPreviewBitmap(
        [this](std::int32_t, TBitmap& bitmap, std::int32_t, std::int64_t) { RIVUVPreviewBitmap(bitmap); });
}

void TForm1::detach_job_events() {
    for (const auto& slot : slots_) {
        TConverter& converter = slot->Converter;
        converter.SetOnProgress({});
        converter.SetOnTerminate({});
        converter.SetOnPreviewBitmap({});
        converter.SetOnBeforeHook({});
        converter.SetOnCustomHook({});
        converter.SetOnLog({});
    }
}

void TForm1::set_ticket(TQueueSlot& slot, int row) {
    const QString file = row >= 0 ? ListView1->Caption(row).trimmed() : QString();
    slot.Started = ++job_serial_;
    slot.SetTicket({row, file, slot.Started});
}

// The preview, the bar and the file size follow the job started last of those still running.
void TForm1::preview_newest_job() {
    previewed_slot_ = nullptr;
    for (const auto& slot : slots_) {
        if (slot->Busy && (!previewed_slot_ || slot->Started > previewed_slot_->Started))
            previewed_slot_ = slot.get();
    }
    if (previewed_slot_) previewed_slot_->Converter.SetPreviewBitmap(previews_pictures());
}

void TForm1::RIVUVProgress(TQueueSlot& slot, TJobTicket ticket, std::int32_t frame_number,
                           std::int32_t current_duration, std::int64_t current_size, std::int32_t total_duration) {
    if (ticket.Serial != slot.CurrentTicket().Serial) return;
    const bool shown = &slot == previewed_slot_;
    if (shown) ListView1->scrollToItem(ListView1->item(ticket.Row, 0));
    // Without a known total the share stays as it was.
    const int percent = ProgressPercent(current_duration, total_duration);
    if (percent >= 0) ListView1->SetValue(ticket.Row, TRowValue::Progress, QStringLiteral("%1%").arg(percent));
    if (shown) StatusPanels[1]->setText(FileSizeText(current_size));
    ListView1->SetValue(ticket.Row, TRowValue::Frames,
                        frame_number == -1 ? QStringLiteral(" ") : QString::number(frame_number));
    job_progressed(slot, ticket.Row, frame_number, current_duration, total_duration);
}

void TForm1::RIVUVTerminate(TQueueSlot& slot, TJobTicket ticket, std::int32_t index, bool exception,
                            const QString& message) {
    if (ticket.Serial != slot.CurrentTicket().Serial) return;
    set_slot_busy(slot, false);
    if (&slot == previewed_slot_) {
        ButtonStopPlayClick();
        slot.Converter.SetPreviewBitmap(false);
        preview_newest_job();
    }
    if (index >= 0) {
        const QString outcome = exception ? QStringLiteral("Fail") : user_aborted_ ? QStringLiteral("Abort")
                                                                                   : QStringLiteral("Done");
        const QString details = exception ? Readable(ticket.File, message) : user_aborted_ ? QString() : took_text(slot);
        set_row_outcome(ticket.Row, outcome, details);
        job_ended(slot);
        count_outcome(outcome);
    }
    if (queue_finished_ && index < 0) {
        slot.Converter.ClearJobs();
        if (!converting_) ProgressBar1->setValue(0);
    }
}

void TForm1::RIVUVPreviewBitmap(TBitmap& bitmap) { sPanelPlay->ShowPreview(bitmap); }

void TForm1::count_outcome(const QString& outcome) {
    ++rows_ended_;
    if (outcome == QLatin1String("Done")) ++rows_done_;
    if (outcome == QLatin1String("Fail")) ++rows_failed_;
    if (outcome == QLatin1String("Abort")) ++rows_stopped_;
    show_run_figures();
}

}  // namespace brenvale
