#include "app/window/form_log.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brenvale {
namespace {

QTreeWidgetItem* LineItem(QTreeWidgetItem* parent, const QString& text) {
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TFormLog::TFormLog(TConversionLog& log, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), log_(log) {
    setObjectName(QStringLiteral("FormLog"));
    setWindowTitle(QStringLiteral("Conversion Log"));
    resize(720, 360);
    TreeLog = new QTreeWidget(this);
    TreeLog->setObjectName(QStringLiteral("TreeLog"));
    TreeLog->setHeaderHidden(true);
    TreeLog->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TreeLog->setUniformRowHeights(true);
    TreeLog->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeLog->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ButtonCopy = new QPushButton(QStringLiteral("Copy"), this);
    ButtonCopy->setObjectName(QStringLiteral("ButtonCopy"));
    ButtonClose = new QPushButton(QStringLiteral("Close"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonCopy);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TreeLog);
    layout->addLayout(buttons);
    connect(ButtonCopy, &QPushButton::clicked, this, &TFormLog::ButtonCopyClick);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&log_, &TConversionLog::EntriesAdded, this, &TFormLog::show_entries);
    connect(&log_, &TConversionLog::Cleared, this, &TFormLog::clear);
    clear();
    show_entries(QList<TLogEntry>(log_.Entries().begin(), log_.Entries().end()), 0);
}

void TFormLog::ButtonCopyClick() {
    QString selected;
    for (const QTreeWidgetItem* item : TreeLog->selectedItems()) {
        const QTreeWidgetItem* file = item->parent() != problems_ ? item->parent() : nullptr;
        selected += (file ? file->text(0) + QStringLiteral(": ") : QString()) + item->text(0) + QLatin1Char('\n');
    }
    QGuiApplication::clipboard()->setText(selected.isEmpty() ? log_.Text() : selected);
}

void TFormLog::clear() {
    TreeLog->clear();
    files_.clear();
    shown_.clear();
    problems_ = new QTreeWidgetItem(TreeLog);
    problems_->setFlags(Qt::ItemIsEnabled);
    problems_->setExpanded(true);
    update_problem_count();
}

QTreeWidgetItem* TFormLog::file_item(const QString& file) {
    QTreeWidgetItem*& item = files_[file];
    if (!item) {
        item = new QTreeWidgetItem(TreeLog, {file});
        item->setFlags(Qt::ItemIsEnabled);
    }
    return item;
}

// Lines keep coming at the end of their file; the oldest go when the log drops them.
void TFormLog::show_entries(const QList<TLogEntry>& entries, int dropped) {
    for (const TLogEntry& entry : entries) {
        QTreeWidgetItem* problem = entry.Kind == TLogKind::Problem ? LineItem(problems_, entry.Line()) : nullptr;
        shown_.emplace_back(LineItem(file_item(entry.File), entry.Text), problem);
    }
    for (; dropped > 0 && !shown_.empty(); --dropped) {
        delete shown_.front().first;
        delete shown_.front().second;
        shown_.pop_front();
    }
    update_problem_count();
}

void TFormLog::update_problem_count() {
    problems_->setText(0, QStringLiteral("Warnings and errors (%1)").arg(problems_->childCount()));
}

}  // namespace brenvale
