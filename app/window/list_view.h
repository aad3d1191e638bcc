// The file list: one checked row per source file, its caption the path and eight sub-values
// (six shown, the seventh hidden, then the details: speed and time left while the row converts,
// the reason when it failed). Files and folders dropped on it are announced, not added.
#pragma once

#include <string>

#include <QStringList>
#include <QTableWidget>

namespace brenvale {

// A decimal as the list shows it, with the user's separator (29,97 on a German desktop).
QString LocalDecimal(const std::string& decimal);

// Sub-value positions of a row.
enum class TRowValue { VideoSize = 0, FrameRate, Duration, Output, Progress, Frames, Hidden, Details };
inline constexpr int kRowValueCount = 8;

class TListView : public QTableWidget {
    Q_OBJECT

public:
    explicit TListView(QWidget* parent);

    // Appends a checked row; `values` are the sub-values in order (missing ones are empty).
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
    // The output file the row's last job wrote to; empty before its first job.
    void SetRowOutput(int row, const QString& path);
    QString RowOutput(int row) const;
    // The selected row, or -1.
    int SelectedRow() const;

signals:
    // Local paths of files and folders dropped on the list.
    void PathsDropped(const QStringList& paths);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setup_columns();
    QTableWidgetItem* value_item(int row, TRowValue value) const;
};

}  // namespace brenvale
