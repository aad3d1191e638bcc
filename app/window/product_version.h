// The product's name and version as the About window and `brenvale --version` show it.
#pragma once

#include <QString>

namespace brenvale {

inline QString ProductNameAndVersion() { return QStringLiteral("Brenvale 4.1"); }

}  // namespace brenvale
