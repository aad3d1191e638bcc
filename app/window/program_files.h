// Files that come with the program: beside it when it runs from its build folder, or in its
// installed data folder next to its own (PREFIX/bin/brenvale finds PREFIX/share/brenvale).
#pragma once

#include <QString>

namespace brenvale {

// The help file in or around `program_folder`; empty when there is none.
QString FindHelpFile(const QString& program_folder);
// The folder of extra skins: "Skins" beside the program, or else the installed one.
QString SkinsFolder(const QString& program_folder);

}  // namespace brenvale
