// Adding files (open dialog or dropped paths), describing each with the probe, and the list commands.
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>

#include <algorithm>
#include <exception>

#include "app/catalogue/failure_reason.h"
#include "app/catalogue/source_probe.h"
#include "app/window/dialogs.h"
#include "app/window/file_manager.h"
#include "app/window/form1.h"
#include "app/window/input_filter.h"

namespace brenvale {
namespace {

QStringList NameFilters() {
    QStringList filters;
    for (const std::string& filter : DialogNameFilters()) filters << QString::fromStdString(filter);
    return filters;
}

// The supported files of a folder and its sub-folders, in name order.
QStringList SupportedFilesIn(const QString& folder) {
    QStringList files;
    QDirIterator walk(folder, QDir::Files, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString file = walk.next();
        if (IsSupportedFileName(QFileInfo(file).fileName().toStdString())) files << file;
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

void TForm1::ButtonAddFileClick() {
    if (adding_files_ || converting_) return;
    RIVUV_.ClearJobs();
    clear_progress_values();
    adding_files_ = true;
    add_files(dialogs_.OpenFiles(this, NameFilters()));
    adding_files_ = false;
}

void TForm1::AddPaths(const QStringList& paths) {
    if (adding_files_ || converting_ || settings_locked_) return;
    QStringList files;
    for (const QString& path : paths) files << (QFileInfo(path).isDir() ? SupportedFilesIn(path) : QStringList{path});
    RIVUV_.ClearJobs();
    clear_progress_values();
    adding_files_ = true;
    add_files(files);
    adding_files_ = false;
}

// Rows appear one by one: the window keeps answering while each file is probed. The list is
// saved at the end, and every second meanwhile.
void TForm1::add_files(const QStringList& paths) {
    const TListChange change(*this);
    try {
        for (const QString& path : paths) {
            add_source_row(path);
            ListView1->scrollToBottom();
            if (list_saved_.hasExpired(kAddingSaveIntervalMs)) save_list();
            QApplication::processEvents();
        }
    } catch (const std::exception&) {
        // Adding ends silently; the rows already added stay.
    }
}

void TForm1::add_source_row(const QString& path) {
    TAVProbe& probe = RIVUV_.Probe();
    if (!probe.LoadFile(path.toStdString())) {
        const int row = ListView1->AppendRow(path, {});
        set_row_outcome(row, QStringLiteral("Error"), QString::fromStdString(ReadableReason(path.toStdString(), probe.LastError())));
        return;
    }
    const TSourceRow source = DescribeOpenFile(probe);
    probe.Close();
    const int row =
        ListView1->AppendRow(path, {QString::fromStdString(source.VideoSize), LocalDecimal(source.FrameRate),
                                    QString::fromStdString(source.Duration), output_extension_});
    ListView1->SetRowData(row, QVariant::fromValue(source));
}

void TForm1::clear_progress_values() {
    const TListChange change(*this);
    for (int row = 0; row < ListView1->rowCount(); ++row) {
        set_row_outcome(row, "", "");
        ListView1->SetValue(row, TRowValue::Frames, "");
    }
}

// The details of a row (speed and time left, then why it failed) are also its hint.
void TForm1::set_row_outcome(int row, const QString& outcome, const QString& details) {
    const TListChange change(*this);
    ListView1->SetValue(row, TRowValue::Progress, outcome);
    ListView1->SetValue(row, TRowValue::Details, details);
    ListView1->SetRowHint(row, details);
}

void TForm1::DeleteSelectedItem1Click() {
    if (adding_files_) return;
    const TListChange change(*this);
    if (const int row = ListView1->SelectedRow(); row >= 0) ListView1->removeRow(row);
}

void TForm1::ClearAllItems1Click() {
    if (adding_files_ || converting_) return;
    const TListChange change(*this);
    RIVUV_.ClearJobs();
    ListView1->setRowCount(0);
}

void TForm1::CheckAllItems1Click() {
    const TListChange change(*this);
    for (int row = 0; row < ListView1->rowCount(); ++row) ListView1->SetChecked(row, true);
}

void TForm1::UncheckAllItems1Click() {
    const TListChange change(*this);
    for (int row = 0; row < ListView1->rowCount(); ++row) ListView1->SetChecked(row, false);
}

void TForm1::ConvertFailedRowsAgain1Click() {
    if (adding_files_ || settings_locked_) return;
    bool any_failed = false;
    {
        const TListChange change(*this);
        for (int row = 0; row < ListView1->rowCount(); ++row) {
            const bool failed = ListView1->Value(row, TRowValue::Progress) == QLatin1String("Fail");
            ListView1->SetChecked(row, failed);
            any_failed = any_failed || failed;
        }
    }
    if (any_failed) ButtonConvertClick();
}

void TForm1::ShowInFolder1Click() {
    const int row = ListView1->SelectedRow();
    if (row < 0) return;
    const QString output = ListView1->RowOutput(row);
    if (!output.isEmpty() && QFileInfo::exists(output)) {
        if (!ShowFileInFolder(output)) dialogs_.Information(this, QStringLiteral("No file manager was found to show %1").arg(output));
        return;
    }
    OpenOutputFolder1Click();
}

void TForm1::OpenOutputFolder1Click() {
    if (!output_folder_usable(false)) return;
    const QString folder = EditOutputFolder->text().trimmed();
    if (!OpenFolder(folder)) dialogs_.Information(this, QStringLiteral("No file manager was found to open %1").arg(folder));
}

void TForm1::ButtonBrowseForFolderClick() {
    if (converting_) return;
    browse_for_output_folder();
}

void TForm1::browse_for_output_folder() {
    const std::optional<QString> folder = dialogs_.BrowseForFolder(
        this, QStringLiteral("Choose the required output directory below :"), EditOutputFolder->text());
    if (folder) EditOutputFolder->setText(QDir::toNativeSeparators(*folder));
}

}  // namespace brenvale
