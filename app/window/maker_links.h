// Where the maker's web site and support department are reached.
#pragma once

#include <QString>

namespace brenvale {

inline const QString kMakerWebsite = QStringLiteral("https://www.merrowin.example/");
inline const QString kSupportMail = QStringLiteral("mailto:support@merrowin.example?subject=Brenvale%204.1");

}  // namespace brenvale
