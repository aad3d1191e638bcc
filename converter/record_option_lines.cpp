#include "converter/record_option_lines.h"

#include <string>
#include <string_view>

#include "engine/option_helpers.h"
#include "engine/option_numbers.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

struct TFieldLine {
    std::string_view name;
    void (*take)(TOutputOptions& options, const std::string& value);
};

constexpr TFieldLine kFieldLines[] = {
    {"an", [](TOutputOptions& o, const std::string& v) { o.AudioDisable = IsFlagSet(v); }},
    {"vn", [](TOutputOptions& o, const std::string& v) { o.VideoDisable = IsFlagSet(v); }},
    {"sn", [](TOutputOptions& o, const std::string& v) { o.SubtitleDisable = IsFlagSet(v); }},
    {"alang", [](TOutputOptions& o, const std::string& v) { o.AudioLanguage = v; }},
    {"slang", [](TOutputOptions& o, const std::string& v) { o.SubtitleLanguage = v; }},
    {"async", [](TOutputOptions& o, const std::string& v) { o.AudioSync = StrToInt(v); }},
    {"adrift_threshold",
     [](TOutputOptions& o, const std::string& v) { o.AudioDriftThreshold = static_cast<float>(StrToFloat(v)); }},
    {"vsync", [](TOutputOptions& o, const std::string& v) { o.VideoSync = StrToInt(v); }},
    {"copyts", [](TOutputOptions& o, const std::string&) { o.CopyTimestamp = true; }},
    {"padcolor", [](TOutputOptions& o, const std::string& v) { o.PadColor = StrToInt(v); }},
    {"pix_fmt", [](TOutputOptions& o, const std::string& v) { o.PixelFormat = v; }},
    {"t", [](TOutputOptions& o, const std::string& v) { o.RecordingTimeUs = parse_time_option("t", v, true); }},
};

}  // namespace

void move_option_lines_into_fields(TOutputOptions& options) {
    for (const auto& [name, value] : SplitOptionList(options.ExtOptions)) {
        for (const TFieldLine& line : kFieldLines) {
            if (line.name == name) line.take(options, value);
        }
    }
}

}  // namespace brenvale
