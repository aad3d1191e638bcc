// Files that come with the program: beside it when it runs from its build folder, or in the
// installed data folders next to its own (PREFIX/bin/brenvale finds PREFIX/share/...).
#pragma once

#include <QString>

namespace brenvale {

// The help file in or around `program_folder`; empty when there is none.
QString FindHelpFile(const QString& program_folder);
// The folder of extra skins beside the program.
QString SkinsFolder(const QString& program_folder);

}  // namespace brenvale
