// The desktop's file manager, for a file or a folder the user wants to see. Window thread.
#pragma once

#include <QString>

namespace brenvale {

// Shows the folder of `file` with the file selected: through the freedesktop file manager
// service on the session bus, else by opening the folder. False when neither worked.
bool ShowFileInFolder(const QString& file);
// Opens the folder in the file manager; false when no program could.
bool OpenFolder(const QString& folder);

}  // namespace brenvale
