// printf-style formatting into a string, for the messages of the run.
#pragma once

#include <string>

namespace brenvale {

std::string format_text(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace brenvale
