// The window program's command line (`brenvale [OPTION]... [FILE]...`, as a file manager's
// "Open With" runs it): words that start with "-" are options, the others files and folders,
// made absolute so the list shows where they are.
#pragma once

#include <QStringList>

namespace brenvale {

struct TWindowCommandLine {
    QStringList Files;  // absolute paths, in the order given
    bool ShowVersion = false;
    bool ShowHelp = false;
    QString Error;  // the first option refused; nothing else is to be done then
};

// `arguments` without the program name, Qt's own options already taken out. "--version",
// "--help" and "-h" are the options; "--" ends them, so that a file named "-x" can be given.
// Files are paths as typed (relative ones against the current folder) or "file:" URLs.
TWindowCommandLine ReadWindowCommandLine(const QStringList& arguments);

}  // namespace brenvale
