// Number and flag parsing for option values, with the error texts configuration callers show.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brenvale {

// A value that is not a number of the expected kind.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decimal, or hexadecimal after "$" or "0x", with an optional sign; nothing else.
// Throws ConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);
std::int64_t StrToInt64(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback);

// Decimal with "." and an optional exponent; surrounding spaces are allowed.
// Throws ConvertError "'<text>' is not a valid floating point value".
double StrToFloat(std::string_view text);
double StrToFloatDef(std::string_view text, double fallback);

// Leading integer of a text (decimal, or hexadecimal after "$" or "0x"); reading stops at the
// first other character. `consumed` receives the characters read, 0 when there is no number.
std::int64_t LeadingInt(std::string_view text, std::size_t& consumed);

// C strtol in base 0 and strtod in the "C" locale. `consumed` receives the characters read.
long CStrtol(std::string_view text, std::size_t& consumed);
double CStrtod(std::string_view text, std::size_t& consumed);

// Any value other than exactly "0" is true, the empty value included.
inline bool IsFlagSet(std::string_view value) { return value != "0"; }

}  // namespace brenvale
