#include "engine/option_values.h"

#include <algorithm>

#include "binding/path_utils.h"
#include "engine/option_numbers.h"

namespace brenvale {
namespace {

// Reads numbers one after another, skipping exactly one character after each.
class NumberReader {
public:
    explicit NumberReader(std::string_view text) : text_(text) {}

    int NextInt() {
        std::size_t consumed = 0;
        const long value = CStrtol(text_.substr(position_), consumed);
        position_ += consumed;
        return static_cast<int>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
    }
    double NextDouble() {
        std::size_t consumed = 0;
        const double value = CStrtod(text_.substr(position_), consumed);
        position_ += consumed;
        return value;
    }
    bool AtEnd() const { return position_ >= text_.size(); }
    void SkipSeparator() {
        if (!AtEnd()) ++position_;
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

bool IsWhiteSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

AssertionError::AssertionError(const std::string& message, std::source_location where)
    : std::logic_error(message + " (" + ExtractFileName(where.file_name()) + ", line " +
                       std::to_string(where.line()) + ")") {}

StreamMapValue ParseStreamMap(std::string_view value) {
    NumberReader reader(value);
    StreamMapValue map;
    map.file_index = reader.NextInt();
    reader.SkipSeparator();
    map.stream_index = reader.NextInt();
    if (reader.AtEnd()) {
        map.sync_file_index = map.file_index;
        map.sync_stream_index = map.stream_index;
        return map;
    }
    reader.SkipSeparator();
    map.sync_file_index = reader.NextInt();
    reader.SkipSeparator();
    map.sync_stream_index = reader.NextInt();
    return map;
}

std::pair<int, int> ParseMetadataMap(std::string_view value) {
    NumberReader reader(value);
    const int out_file = reader.NextInt();
    reader.SkipSeparator();
    return {out_file, reader.NextInt()};
}

std::pair<int, double> ParseTimeStampScale(std::string_view value) {
    NumberReader reader(value);
    const int index = reader.NextInt();
    reader.SkipSeparator();
    return {index, reader.NextDouble()};
}

double ParseAspectRatio(std::string_view value) {
    const auto colon = value.find(':');
    if (colon == std::string_view::npos) return StrToFloatDef(value, 0.0);
    const int width = StrToIntDef(value.substr(0, colon), 0);
    const int height = StrToIntDef(value.substr(colon + 1), 0);
    return height > 0 ? static_cast<double>(width) / height : 0.0;
}

YuvColor YuvFromRgb(std::int32_t rgb) {
    const int r = rgb & 0xFF;
    const int g = (rgb >> 8) & 0xFF;
    const int b = (rgb >> 16) & 0xFF;
    // Right shifts of negative values are floor divisions by 1024.
    return YuvColor{(307 * r + 602 * g + 117 * b + 512) >> 10,
                    ((-173 * r - 340 * g + 512 * b + 511) >> 10) + 128,
                    ((512 * r - 429 * g - 84 * b + 511) >> 10) + 128};
}

int ParseMatrix(std::string_view value, std::uint16_t (&matrix)[64]) {
    std::fill(std::begin(matrix), std::end(matrix), std::uint16_t{0});
    std::size_t position = 0;
    for (int i = 0; i < 64; ++i) {
        std::size_t consumed = 0;
        matrix[i] = static_cast<std::uint16_t>(LeadingInt(value.substr(position), consumed));
        if (i == 63) break;
        const auto comma = value.find(',', position);
        if (comma == std::string_view::npos) return i;
        position = comma + 1;
    }
    return -1;
}

std::optional<std::uint32_t> FourCharacterTag(std::string_view value) {
    if (value.size() != 4) return std::nullopt;
    std::uint32_t tag = 0;
    for (int i = 3; i >= 0; --i) tag = (tag << 8) | static_cast<unsigned char>(value[static_cast<std::size_t>(i)]);
    return tag;
}

std::vector<std::string> SplitHookWords(std::string_view value) {
    const char separator = value.find('|') != std::string_view::npos ? '|' : ' ';
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= value.size()) {
        const auto end = std::min(value.find(separator, start), value.size());
        if (end > start) words.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

std::string TrimText(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::vector<std::pair<std::string, std::string>> SplitOptionList(std::string_view text) {
    std::string normalised;
    const std::string trimmed = TrimText(text);
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        if (trimmed[i] != '\r') normalised += trimmed[i];
        else if (i + 1 >= trimmed.size() || trimmed[i + 1] != '\n') normalised += '\n';
    }
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t start = 0;
    while (!normalised.empty() && start <= normalised.size()) {
        const auto end = std::min(normalised.find('\n', start), normalised.size());
        std::string line = normalised.substr(start, end - start);
        const auto equals = line.find('=');
        if (equals == std::string::npos) lines.emplace_back(line, std::string());
        else lines.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        start = end + 1;
    }
    return lines;
}

}  // namespace brenvale
