// TFormLog, the Conversion Log window: the log lines of every job of the run, newest last, each
// after the name of its file, to read and to copy. Not modal. Window thread only.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace brenvale {

class TConversionLog;

class TFormLog : public QDialog {
    Q_OBJECT

public:
    TFormLog(TConversionLog& log, QWidget* parent);

    // Copies every line (or the selected text, when there is one) to the clipboard.
    void ButtonCopyClick();

private:
    void show_lines(const QStringList& lines);

    TConversionLog& log_;
    QPlainTextEdit* MemoLog = nullptr;
    QPushButton* ButtonCopy = nullptr;
    QPushButton* ButtonClose = nullptr;
};

}  // namespace brenvale
