#include "player/text_utils.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "common/c_locale.h"

namespace brenvale::player {

std::string Format(const char* format, ...) {
    const TCLocaleScope c_numbers;
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    return std::string(text.data());
}

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace brenvale::player
