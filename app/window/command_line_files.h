// The files and folders named on the window program's command line (`brenvale FILE...`, as a
// file manager's "Open With" runs it), made absolute so the list shows where they are.
#pragma once

#include <QStringList>

namespace brenvale {

// Paths as typed (relative ones against the current folder) or "file:" URLs.
QStringList CommandLinePaths(const QStringList& arguments);

}  // namespace brenvale
