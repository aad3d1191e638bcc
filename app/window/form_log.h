// TFormLog, the Conversion Log window: the warnings and errors of the run first, then every
// file with its lines (stream mappings, the encoders' statistics) folded under its name, each
// line as it came; Copy copies the whole log in the order it came. Not modal; it can be opened
// during a run. Window thread only.
#pragma once

#include <deque>
#include <map>

#include <QDialog>

#include "app/window/conversion_log.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace brenvale {

class TFormLog : public QDialog {
    Q_OBJECT

public:
    TFormLog(TConversionLog& log, QWidget* parent);

    // Copies every line (or the selected ones, when there are any) to the clipboard.
    void ButtonCopyClick();

private:
    void clear();
    void show_entries(const QList<TLogEntry>& entries, int dropped);
    QTreeWidgetItem* file_item(const QString& file);
    void update_problem_count();

    TConversionLog& log_;
    QTreeWidget* TreeLog = nullptr;
    QPushButton* ButtonCopy = nullptr;
    QPushButton* ButtonClose = nullptr;
    QTreeWidgetItem* problems_ = nullptr;  // "Warnings and errors"
    std::map<QString, QTreeWidgetItem*> files_;
    // The items of each entry shown, oldest first: its line under its file, and under the
    // warnings when it is one.
    std::deque<std::pair<QTreeWidgetItem*, QTreeWidgetItem*>> shown_;
};

}  // namespace brenvale
