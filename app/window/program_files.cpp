#include "app/window/program_files.h"

#include <QDir>
#include <QFileInfo>

namespace brenvale {

QString FindHelpFile(const QString& program_folder) {
    const QDir folder(program_folder);
    for (const QString& place : {QStringLiteral("help.html"), QStringLiteral("../share/doc/brenvale/help.html")}) {
        const QFileInfo help(folder.filePath(place));
        if (help.isFile()) return help.canonicalFilePath();
    }
    return {};
}

QString SkinsFolder(const QString& program_folder) { return QDir(program_folder).filePath(QStringLiteral("Skins")); }

}  // namespace brenvale
