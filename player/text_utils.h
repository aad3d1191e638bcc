// Message formatting for the player's log texts.
#pragma once

#include <string>

namespace brenvale::player {

// printf-style formatting into a string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text without leading and trailing white space.
std::string Trimmed(const std::string& text);

}  // namespace brenvale::player
