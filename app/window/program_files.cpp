#include "app/window/program_files.h"

#include <QDir>
#include <QFileInfo>

namespace brenvale {
namespace {

const QString kInstalledDataFolder = QStringLiteral("../share/brenvale/");

}  // namespace

QString FindHelpFile(const QString& program_folder) {
    const QDir folder(program_folder);
    for (const QString& place : {QStringLiteral("help.html"), kInstalledDataFolder + "help.html"}) {
        const QFileInfo help(folder.filePath(place));
        if (help.isFile()) return help.canonicalFilePath();
    }
    return {};
}

QString SkinsFolder(const QString& program_folder) {
    const QDir folder(program_folder);
    const QFileInfo installed(folder.filePath(kInstalledDataFolder + "Skins"));
    if (!QFileInfo(folder.filePath(QStringLiteral("Skins"))).isDir() && installed.isDir())
        return installed.canonicalFilePath();
    return folder.filePath(QStringLiteral("Skins"));
}

}  // namespace brenvale
