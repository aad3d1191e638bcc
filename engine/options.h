// The option table: every option name the dispatcher knows, with its handler.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace brenvale {

class TCustomFFmpeg;

using TOptionHandler = void (*)(TCustomFFmpeg& engine, const std::string& name, const std::string& value);

struct TOptionEntry {
    std::string_view name;
    TOptionHandler handler;
};

// The table's groups, one per file.
std::span<const TOptionEntry> ignored_and_diagnostic_options();
std::span<const TOptionEntry> file_options();
std::span<const TOptionEntry> timing_options();
std::span<const TOptionEntry> video_options();
std::span<const TOptionEntry> picture_options();
std::span<const TOptionEntry> audio_and_subtitle_options();
std::span<const TOptionEntry> output_options();

// The handler of an exactly matching (case-sensitive) name; nullptr for names the table does not
// know, which go to the generic option path.
TOptionHandler find_option_handler(std::string_view name);

}  // namespace brenvale
