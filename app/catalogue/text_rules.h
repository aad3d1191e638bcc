// The small text operations the control texts go through, shared by the catalogue's rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brenvale {

std::string TrimBlanks(std::string_view text);
// "A" to "Z" become "a" to "z"; every other byte stays.
std::string LowerCase(std::string_view text);
// The text before the first blank; all of it when there is none.
std::string TextBeforeBlank(std::string_view text);
// A whole decimal integer of 32 bits (a leading "-" allowed); anything else raises
// std::invalid_argument naming the text.
std::int32_t ParseInt32(const std::string& text);
// At most `decimals` decimals, trailing zeros and a trailing point dropped (1.25, 1.7778, 25),
// with a "." whatever the locale.
std::string ShortestDecimal(double value, int decimals);

}  // namespace brenvale
