// Where the maker's web site and support department are reached.
#pragma once

#include <QString>

#include "common/version.h"

namespace brenvale {

inline const QString kMakerWebsite = QStringLiteral("https://www.merrowin.example/");
inline const QString kSupportMail = QStringLiteral("mailto:support@merrowin.example?subject=Brenvale%20" BRENVALE_VERSION);

}  // namespace brenvale
