// The file list: one checked row per source file, its caption the path and seven sub-values
// (six shown, the seventh hidden). Files and folders dropped on it are announced, not added.
#pragma once

#include <QStringList>
#include <QTableWidget>

namespace brenvale {

// Sub-value positions of a row.
enum class TRowValue { VideoSize = 0, FrameRate, Duration, Output, Progress, Frames, Hidden };
inline constexpr int kRowValueCount = 7;

class TListView : public QTableWidget {
    Q_OBJECT

public:
    explicit TListView(QWidget* parent);

    // Appends a checked row; `values` are the seven sub-values in order.
    int AppendRow(const QString& caption, const QStringList& values);
    QString Caption(int row) const;
    QString Value(int row, TRowValue value) const;
    void SetValue(int row, TRowValue value, const QString& text);
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    // The reason shown over the whole row (a failure); empty removes it.
    void SetRowHint(int row, const QString& hint);
    QString RowHint(int row) const;
    // What the owner keeps of a row beyond its texts; invalid when nothing was kept.
    void SetRowData(int row, const QVariant& data);
    QVariant RowData(int row) const;
    // The selected row, or -1.
    int SelectedRow() const;

signals:
    // Local paths of files and folders dropped on the list.
    void PathsDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setup_columns();
    QTableWidgetItem* value_item(int row, TRowValue value) const;
};

}  // namespace brenvale
