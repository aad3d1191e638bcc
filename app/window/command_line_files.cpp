#include "app/window/command_line_files.h"

#include <QFileInfo>
#include <QUrl>

namespace brenvale {
namespace {

QString AbsolutePath(const QString& argument) {
    const QString path = argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile() : argument;
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

TWindowCommandLine ReadWindowCommandLine(const QStringList& arguments) {
    TWindowCommandLine command;
    bool options_ended = false;
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) continue;
        if (options_ended || !argument.startsWith(QLatin1Char('-'))) {
            command.Files << AbsolutePath(argument);
        } else if (argument == QLatin1String("--")) {
            options_ended = true;
        } else if (argument == QLatin1String("--version")) {
            command.ShowVersion = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            command.ShowHelp = true;
        } else if (command.Error.isEmpty()) {
            command.Error = QStringLiteral("unknown option '%1'").arg(argument);
        }
    }
    return command;
}

}  // namespace brenvale
