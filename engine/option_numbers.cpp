#include "engine/option_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/c_locale.h"

namespace brenvale {
namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

struct ScannedInteger {
    bool negative = false;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    std::size_t digits = 0;
    std::size_t consumed = 0;
};

// Sign, optional "$" / "0x" prefix, then as many digits as there are.
ScannedInteger ScanInteger(std::string_view text) {
    ScannedInteger result;
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        result.negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
               pos + 2 < text.size() && DigitValue(text[pos + 2], 16) >= 0) {
        base = 16;
        pos += 2;
    }
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max();
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0) break;
        if (result.magnitude > (kLimit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
            result.overflow = true;
        } else {
            result.magnitude = result.magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        }
        ++result.digits;
    }
    result.consumed = result.digits ? pos : 0;
    return result;
}

bool FitsInRange(const ScannedInteger& scanned, std::int64_t min, std::int64_t max, std::int64_t& value) {
    if (scanned.overflow) return false;
    if (scanned.negative) {
        const std::uint64_t limit = static_cast<std::uint64_t>(-(min + 1)) + 1;
        if (scanned.magnitude > limit) return false;
        value = scanned.magnitude == limit ? min : -static_cast<std::int64_t>(scanned.magnitude);
        return true;
    }
    if (scanned.magnitude > static_cast<std::uint64_t>(max)) return false;
    value = static_cast<std::int64_t>(scanned.magnitude);
    return true;
}

bool ParseWholeInteger(std::string_view text, std::int64_t min, std::int64_t max, std::int64_t& value) {
    const ScannedInteger scanned = ScanInteger(text);
    return scanned.digits > 0 && scanned.consumed == text.size() && FitsInRange(scanned, min, max, value);
}

[[noreturn]] void ThrowNotInteger(std::string_view text) {
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool ParseWholeFloat(std::string_view text, double& value) {
    std::string_view body = TrimSpaces(text);
    if (!body.empty() && body.front() == '+') body.remove_prefix(1);
    if (body.empty() || body.front() == '+') return false;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
    return error == std::errc() && end == body.data() + body.size() && std::isfinite(value);
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
    std::int64_t value = 0;
    if (!ParseWholeInteger(text, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max(), value)) {
        ThrowNotInteger(text);
    }
    return static_cast<std::int32_t>(value);
}

std::int64_t StrToInt64(std::string_view text) {
    std::int64_t value = 0;
    if (!ParseWholeInteger(text, std::numeric_limits<std::int64_t>::min(),
                           std::numeric_limits<std::int64_t>::max(), value)) {
        ThrowNotInteger(text);
    }
    return value;
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) {
    std::int64_t value = 0;
    if (!ParseWholeInteger(text, std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max(), value)) {
        return fallback;
    }
    return static_cast<std::int32_t>(value);
}

double StrToFloat(std::string_view text) {
    double value = 0.0;
    if (!ParseWholeFloat(text, value)) {
        throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
    }
    return value;
}

double StrToFloatDef(std::string_view text, double fallback) {
    double value = 0.0;
    return ParseWholeFloat(text, value) ? value : fallback;
}

std::int64_t LeadingInt(std::string_view text, std::size_t& consumed) {
    std::size_t spaces = 0;
    while (spaces < text.size() && (text[spaces] == ' ' || text[spaces] == '\t')) ++spaces;
    const ScannedInteger scanned = ScanInteger(text.substr(spaces));
    consumed = scanned.digits ? spaces + scanned.consumed : 0;
    std::int64_t value = 0;
    if (!FitsInRange(scanned, std::numeric_limits<std::int64_t>::min(),
                     std::numeric_limits<std::int64_t>::max(), value)) {
        value = scanned.negative ? std::numeric_limits<std::int64_t>::min()
                                 : std::numeric_limits<std::int64_t>::max();
    }
    return value;
}

long CStrtol(std::string_view text, std::size_t& consumed) {
    const std::string copy(text);
    char* end = nullptr;
    const long value = std::strtol(copy.c_str(), &end, 0);
    consumed = static_cast<std::size_t>(end - copy.c_str());
    return value;
}

double CStrtod(std::string_view text, std::size_t& consumed) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = ::strtod_l(copy.c_str(), &end, CLocale());
    consumed = static_cast<std::size_t>(end - copy.c_str());
    return value;
}

}  // namespace brenvale
