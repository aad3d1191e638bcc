#include "app/window/command_line_files.h"

#include <QFileInfo>
#include <QUrl>

namespace brenvale {

QStringList CommandLinePaths(const QStringList& arguments) {
    QStringList paths;
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) continue;
        const QString path = argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile() : argument;
        paths << QFileInfo(path).absoluteFilePath();
    }
    return paths;
}

}  // namespace brenvale
