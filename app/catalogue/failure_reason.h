// Why a file failed, as the list and the command line tell it: in words a user understands,
// with the libraries' own text after them, and without the file's name, which the row or line
// already shows.
#pragma once

#include <string>

namespace brenvale {

// `message`: the text of a failed open or conversion of `file` (it may start with the file's
// name). Line breaks become blanks.
std::string ReadableReason(const std::string& file, const std::string& message);

}  // namespace brenvale
