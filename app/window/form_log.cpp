#include "app/window/form_log.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/window/conversion_log.h"

namespace brenvale {

TFormLog::TFormLog(TConversionLog& log, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), log_(log) {
    setObjectName(QStringLiteral("FormLog"));
    setWindowTitle(QStringLiteral("Conversion Log"));
    resize(720, 360);
    MemoLog = new QPlainTextEdit(this);
    MemoLog->setObjectName(QStringLiteral("MemoLog"));
    MemoLog->setReadOnly(true);
    MemoLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLog->setMaximumBlockCount(TConversionLog::kMaxLines);
    MemoLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ButtonCopy = new QPushButton(QStringLiteral("Copy"), this);
    ButtonCopy->setObjectName(QStringLiteral("ButtonCopy"));
    ButtonClose = new QPushButton(QStringLiteral("Close"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonCopy);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemoLog);
    layout->addLayout(buttons);
    connect(ButtonCopy, &QPushButton::clicked, this, &TFormLog::ButtonCopyClick);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&log_, &TConversionLog::LinesAdded, this, &TFormLog::show_lines);
    connect(&log_, &TConversionLog::Cleared, MemoLog, &QPlainTextEdit::clear);
    for (const QString& line : log_.Lines()) MemoLog->appendPlainText(line);
}

void TFormLog::ButtonCopyClick() {
    QString selected = MemoLog->textCursor().selectedText();
    // A selection's line breaks come as paragraph separators.
    QGuiApplication::clipboard()->setText(selected.isEmpty() ? log_.Text()
                                                             : selected.replace(QChar::ParagraphSeparator, '\n'));
}

// New lines keep the view at its end unless the reader scrolled up.
void TFormLog::show_lines(const QStringList& lines) {
    QScrollBar* bar = MemoLog->verticalScrollBar();
    const bool at_end = bar->value() == bar->maximum();
    const int kept = bar->value();
    for (const QString& line : lines) MemoLog->appendPlainText(line);
    bar->setValue(at_end ? bar->maximum() : kept);
}

}  // namespace brenvale
