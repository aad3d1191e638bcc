// The dispatcher of single options and of option lists.
#include "engine/options.h"

#include <map>
#include <string>
#include <unordered_map>

#include "common/c_locale.h"
#include "engine/custom_ffmpeg.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

using TOptionMap = std::unordered_map<std::string_view, TOptionHandler>;

TOptionMap build_option_map() {
    TOptionMap map;
    for (const auto group : {ignored_and_diagnostic_options(), file_options(), timing_options(),
                             video_options(), picture_options(), audio_and_subtitle_options(),
                             output_options()}) {
        for (const TOptionEntry& entry : group) map.emplace(entry.name, entry.handler);
    }
    return map;
}

bool is_stream_adding_option(const std::string& name) {
    return name == "newvideo" || name == "newaudio" || name == "newsubtitle";
}

// The stream-adding line whose stream a line describes (its codec; for sound, its channels too);
// nullptr for other lines.
const char* stream_described_by_option(const std::string& name) {
    if (name == "vcodec") return "newvideo";
    if (name == "acodec" || name == "ac") return "newaudio";
    if (name == "scodec") return "newsubtitle";
    return nullptr;
}

}  // namespace

TOptionHandler find_option_handler(std::string_view name) {
    static const TOptionMap map = build_option_map();
    const auto found = map.find(name);
    return found == map.end() ? nullptr : found->second;
}

void TCustomFFmpeg::apply_option(const std::string& name, const std::string& value) {
    // The libraries parse rates, sizes and numeric options with the C library's strtod.
    const TCLocaleScope c_numbers;
    if (const TOptionHandler handler = find_option_handler(name)) {
        handler(*this, name, value);
    } else {
        set_generic_option(name, value);
    }
}

void TCustomFFmpeg::apply_option_list(const std::string& text, int pass) {
    // Stream-adding lines need the output file, so they come in a second pass after it exists.
    if (pass != 1) {
        for (const auto& [name, value] : SplitOptionList(text)) {
            if (!is_stream_adding_option(name)) apply_option(name, value);
        }
        return;
    }
    // Each stream a line adds takes the codec (and channels) of its kind named on lines before
    // it, as on a command line: the first pass's are spent on the file's own streams.
    std::unordered_map<std::string, std::map<std::string, std::string>> described;  // by stream-adding line
    for (const auto& [name, value] : SplitOptionList(text)) {
        if (const char* adds = stream_described_by_option(name)) {
            described[adds][name] = value;
        } else if (is_stream_adding_option(name)) {
            if (const auto lines = described.find(name); lines != described.end()) {
                for (const auto& [described_name, described_value] : lines->second) apply_option(described_name, described_value);
                described.erase(lines);
            }
            apply_option(name, value);
        }
    }
}

void TCustomFFmpeg::release_video_hooks() { video_hooks.release_video_hooks(); }

void TCustomFFmpeg::release_option_state() {
    video_bsf_chain.clear();
    audio_bsf_chain.clear();
    subtitle_bsf_chain.clear();
    private_option_values.clear();
}

}  // namespace brenvale
