// The file list kept between runs: written after every change of its rows, brought back at
// the next start as it was.
#include <QTableWidgetItem>

#include "app/window/form1.h"
#include "app/window/stored_list.h"

namespace brenvale {
namespace {

// The outcomes a row keeps; a share done ("45%") means the row was converting.
bool IsOutcome(const QString& progress) {
    return progress == QLatin1String("Done") || progress == QLatin1String("Fail") ||
           progress == QLatin1String("Abort") || progress == QLatin1String("Error");
}

}  // namespace

TForm1::TListChange::TListChange(TForm1& form) : form_(form) { ++form_.list_change_depth_; }

TForm1::TListChange::~TListChange() {
    if (--form_.list_change_depth_ == 0) form_.save_list();
}

void TForm1::connect_kept_list() {
    // A check box the user clicked; the program's own changes are saved by their commands.
    connect(ListView1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 0 && list_change_depth_ == 0) save_list();
    });
}

void TForm1::save_list() {
    std::vector<TStoredRow> rows;
    for (int row = 0; row < ListView1->rowCount(); ++row) {
        TStoredRow stored;
        stored.Path = ListView1->Caption(row);
        stored.Checked = ListView1->Checked(row);
        const QString progress = ListView1->Value(row, TRowValue::Progress);
        if (IsOutcome(progress)) {
            stored.Outcome = progress;
            stored.Details = ListView1->Value(row, TRowValue::Details);
        }
        stored.Output = ListView1->RowOutput(row);
        const QVariant source = ListView1->RowData(row);
        stored.Described = source.isValid();
        if (stored.Described) stored.Source = source.value<TSourceRow>();
        rows.push_back(stored);
    }
    WriteStoredList(rows);
    list_saved_.start();
}

void TForm1::restore_list() {
    const TListChange change(*this);
    for (const TStoredRow& stored : ReadStoredList()) {
        const TSourceRow& source = stored.Source;
        const int row = ListView1->AppendRow(
            stored.Path, {QString::fromStdString(source.VideoSize), LocalDecimal(source.FrameRate),
                          QString::fromStdString(source.Duration), output_extension_, stored.Outcome});
        ListView1->SetChecked(row, stored.Checked);
        if (stored.Described) ListView1->SetRowData(row, QVariant::fromValue(source));
        ListView1->SetRowOutput(row, stored.Output);
        set_row_outcome(row, stored.Outcome, stored.Details);
    }
}

}  // namespace brenvale
