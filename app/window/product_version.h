// The product's name and version as the About window shows it.
#pragma once

#include <QString>

#include "common/version.h"

namespace brenvale {

inline QString ProductNameAndVersion() { return QStringLiteral("Brenvale " BRENVALE_VERSION); }

}  // namespace brenvale
