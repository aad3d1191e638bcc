#include "cli/option_lines.h"

#include <string_view>

#include "cli/usage_error.h"

namespace brenvale::cli {
namespace {

struct TSettingOption {
    std::string_view name;
    std::string_view setting;
};

constexpr TSettingOption kSettingOptions[] = {
    {"vcodec", "--video-codec"}, {"s", "--video-size"},         {"b", "--video-bitrate"},
    {"vb", "--video-bitrate"},   {"r", "--frame-rate"},          {"aspect", "--aspect"},
    {"acodec", "--audio-codec"}, {"ab", "--audio-bitrate"},      {"ac", "--channels"},
    {"ar", "--sample-rate"},     {"vol", "--volume"},
};

}  // namespace

void RefuseOptionOfASetting(const std::string& name) {
    for (const TSettingOption& option : kSettingOptions) {
        if (option.name != name) continue;
        throw TUsageError("--option " + name + " is set by the format's settings and would change nothing; use " +
                          std::string(option.setting) + " instead");
    }
}

}  // namespace brenvale::cli
