#include "app/window/list_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLocale>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace brenvale {
namespace {

struct TColumn {
    const char* Title;
    int Width;
    Qt::Alignment Alignment;
};

// The caption column, then one per sub-value; the hidden seventh value before the details, which
// take the width left.
constexpr TColumn kColumns[] = {
    {"Video File Name", 280, Qt::AlignLeft | Qt::AlignVCenter},
    {"Video Size", 90, Qt::AlignCenter},
    {"FrameRate", 90, Qt::AlignCenter},
    {"Duration", 75, Qt::AlignCenter},
    {"Output", 65, Qt::AlignCenter},
    {"Progress", 60, Qt::AlignCenter},
    {"Frames", 60, Qt::AlignCenter},
    {"", 0, Qt::AlignCenter},
    {"Details", 180, Qt::AlignLeft | Qt::AlignVCenter},
};
constexpr int kHiddenColumn = 7;
constexpr int kDetailsColumn = 8;
constexpr int kOutputRole = Qt::UserRole + 1;

int ColumnOf(TRowValue value) { return static_cast<int>(value) + 1; }

bool HasLocalPaths(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return true;
    return false;
}

}  // namespace

QString LocalDecimal(const std::string& decimal) {
    return QString::fromStdString(decimal).replace(QLatin1Char('.'), QLocale().decimalPoint());
}

TListView::TListView(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("ListView1"));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // The selection stays visible while another control has the focus.
    QPalette keep_selection = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        keep_selection.setColor(QPalette::Inactive, role, keep_selection.color(QPalette::Active, role));
    setPalette(keep_selection);
    setup_columns();
}

void TListView::setup_columns() {
    setColumnCount(static_cast<int>(std::size(kColumns)));
    for (int column = 0; column < columnCount(); ++column) {
        auto* header = new QTableWidgetItem(QString::fromLatin1(kColumns[column].Title));
        header->setTextAlignment(kColumns[column].Alignment);
        setHorizontalHeaderItem(column, header);
        setColumnWidth(column, kColumns[column].Width);
    }
    setColumnHidden(kHiddenColumn, true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    setTextElideMode(Qt::ElideMiddle);  // the ends of a path say most
}

// A wider list shows more of each path: the caption column takes what the details, at their
// width, leave; never less than its own width.
void TListView::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    int others = kColumns[kDetailsColumn].Width;
    for (int column = 1; column < kDetailsColumn; ++column) others += isColumnHidden(column) ? 0 : columnWidth(column);
    setColumnWidth(0, std::max(kColumns[0].Width, viewport()->width() - others));
}

int TListView::AppendRow(const QString& caption, const QStringList& values) {
    const int row = rowCount();
    insertRow(row);
    auto* caption_item = new QTableWidgetItem(caption);
    caption_item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    caption_item->setCheckState(Qt::Checked);
    caption_item->setTextAlignment(kColumns[0].Alignment);
    setItem(row, 0, caption_item);
    for (int column = 1; column < columnCount(); ++column) {
        auto* item = new QTableWidgetItem(values.value(column - 1));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setTextAlignment(kColumns[column].Alignment);
        setItem(row, column, item);
    }
    return row;
}

QString TListView::Caption(int row) const { return item(row, 0)->text(); }

QTableWidgetItem* TListView::value_item(int row, TRowValue value) const { return item(row, ColumnOf(value)); }

QString TListView::Value(int row, TRowValue value) const { return value_item(row, value)->text(); }

void TListView::SetValue(int row, TRowValue value, const QString& text) { value_item(row, value)->setText(text); }

bool TListView::Checked(int row) const { return item(row, 0)->checkState() == Qt::Checked; }

void TListView::SetChecked(int row, bool checked) { item(row, 0)->setCheckState(checked ? Qt::Checked : Qt::Unchecked); }

void TListView::SetRowHint(int row, const QString& hint) {
    for (int column = 0; column < columnCount(); ++column) item(row, column)->setToolTip(hint);
}

QString TListView::RowHint(int row) const { return item(row, 0)->toolTip(); }

void TListView::SetRowData(int row, const QVariant& data) { item(row, 0)->setData(Qt::UserRole, data); }

QVariant TListView::RowData(int row) const { return item(row, 0)->data(Qt::UserRole); }

void TListView::SetRowOutput(int row, const QString& path) { item(row, 0)->setData(kOutputRole, path); }

QString TListView::RowOutput(int row) const { return item(row, 0)->data(kOutputRole).toString(); }

int TListView::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}

void TListView::dragEnterEvent(QDragEnterEvent* event) {
    if (HasLocalPaths(event->mimeData())) event->acceptProposedAction();
}

void TListView::dragMoveEvent(QDragMoveEvent* event) {
    if (HasLocalPaths(event->mimeData())) event->acceptProposedAction();
}

void TListView::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    emit PathsDropped(paths);
}

}  // namespace brenvale
