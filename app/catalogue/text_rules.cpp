#include "app/catalogue/text_rules.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace brenvale {

std::string TrimBlanks(std::string_view text) {
    const auto is_blank = [](unsigned char c) { return c <= ' '; };
    while (!text.empty() && is_blank(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && is_blank(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return std::string(text);
}

// ASCII only: codec and format names must not follow the locale (a Turkish one keeps "I" as it is).
std::string LowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

std::string TextBeforeBlank(std::string_view text) { return std::string(text.substr(0, text.find(' '))); }

std::int32_t ParseInt32(const std::string& text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    return value;
}

std::string ShortestDecimal(double value, int decimals) {
    char text[64];
    // to_chars writes "." whatever the locale: these texts become engine options.
    const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string decimal(text, written.ptr);
    if (decimal.find('.') == std::string::npos) return decimal;
    decimal.erase(decimal.find_last_not_of('0') + 1);
    if (decimal.ends_with('.')) decimal.pop_back();
    return decimal;
}

}  // namespace brenvale
