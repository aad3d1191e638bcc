// The window program's --help and --version texts, printed before any window or display is
// needed (help2man reads them at build time to write the manual page).
#pragma once

#include <string>

namespace brenvale {

// The help text, ending with a line feed.
std::string WindowUsageText();
// The version line, ending with a line feed.
std::string WindowVersionText();

}  // namespace brenvale
