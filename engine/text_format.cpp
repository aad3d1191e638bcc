#include "engine/text_format.h"

#include <cstdarg>
#include <cstdio>

#include "common/c_locale.h"

namespace brenvale {

std::string format_text(const char* format, ...) {
    const TCLocaleScope c_numbers;
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    return text;
}

}  // namespace brenvale
