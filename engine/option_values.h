// Parsers for the structured option values: stream maps, aspect ratios, colours, matrices,
// codec tags, hook words and option list text. They report failure by result; the option
// handlers turn failures into their messages.
#pragma once

#include <cstdint>
#include <optional>
#include <source_location>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brenvale {

// A broken precondition of an option value; the message starts with the condition's text and
// ends with the source location.
class AssertionError : public std::logic_error {
public:
    AssertionError(const std::string& message, std::source_location where = std::source_location::current());
};

// "a.b" or "a.b:c.d": numbers by C strtol base 0, exactly one separator character after each.
struct StreamMapValue {
    int file_index = 0;
    int stream_index = 0;
    int sync_file_index = 0;
    int sync_stream_index = 0;
};
StreamMapValue ParseStreamMap(std::string_view value);

// "out:in" read as for stream maps.
std::pair<int, int> ParseMetadataMap(std::string_view value);

// "i:scale": index by strtol base 0, one separator skipped, scale by strtod.
std::pair<int, double> ParseTimeStampScale(std::string_view value);

// "w:h" with integers (w / h, 0 when h is not positive) or a decimal number; 0 on failure.
double ParseAspectRatio(std::string_view value);

// BT.601 components of a colour with red in the lowest byte, green next, blue third.
struct YuvColor {
    int y = 0;
    int u = 0;
    int v = 0;
};
YuvColor YuvFromRgb(std::int32_t rgb);

// 64 comma-separated coefficients into `matrix`, which is cleared first. Returns -1 on success,
// else the index of the coefficient after which no comma followed.
int ParseMatrix(std::string_view value, std::uint16_t (&matrix)[64]);

// Four characters, the first in the lowest byte; nothing for any other length.
std::optional<std::uint32_t> FourCharacterTag(std::string_view value);

// The words of a "vhook" value: split at "|" when it holds one, otherwise at spaces; empty
// words are skipped.
std::vector<std::string> SplitHookWords(std::string_view value);

// Name and value of each line of an option list, in order.
std::vector<std::pair<std::string, std::string>> SplitOptionList(std::string_view text);

// Leading and trailing white space removed (space and control characters).
std::string TrimText(std::string_view text);

}  // namespace brenvale
