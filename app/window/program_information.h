// The window program's --help and --version, answered before any window or display is needed
// (help2man reads them at build time to write the manual page).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brenvale {

// The help text, ending with a line feed.
std::string WindowUsageText();

// When `arguments` (without the program's name) ask for the help or the version: writes it to
// `out` and gives the exit status. Words after "--" are file names.
std::optional<int> AnswerInformationRequest(const std::vector<std::string>& arguments, std::ostream& out);

}  // namespace brenvale
