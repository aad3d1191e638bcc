#include "app/window/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace brenvale {

void TQtDialogs::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QStringLiteral("Information"), text);
}

bool TQtDialogs::Confirmation(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QStringLiteral("Confirmation"), text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QStringList TQtDialogs::OpenFiles(QWidget* parent, const QStringList& name_filters) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // The names carry their own pattern texts; the dialog's copy of the patterns stays hidden.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(name_filters);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

std::optional<QString> TQtDialogs::BrowseForFolder(QWidget* parent, const QString& headline, const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(parent, headline, start, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}

}  // namespace brenvale
