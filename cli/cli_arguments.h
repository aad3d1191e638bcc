// The command line of brenvale-cli, read into what to do.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace brenvale::cli {

enum class TCliMode { Convert, ListFormats, ShowPreset, ListValues, Info, Help, Version };

struct TCliArguments {
    TCliMode Mode = TCliMode::Convert;
    std::string Format;  // short name; the default format when empty
    std::string ListedSetting;  // "--video-size", ... for --list-values
    std::string OutputFolder = ".";
    bool Overwrite = false;
    // Setting options ("--video-size", ...) with their values, in the order given.
    std::vector<std::pair<std::string, std::string>> Choices;
    std::vector<std::string> ExtOptionLines;    // NAME=VALUE or NAME, for the outputs
    std::vector<std::string> InputOptionLines;  // NAME=VALUE or NAME, for the inputs
    int Jobs = 1;
    bool Verbose = false;  // every log line as it comes, not each warning once per file
    bool Json = false;     // --info as JSON
    std::vector<std::string> Files;
};

// Raises TUsageError for an unknown option, a missing or malformed value, or files that do
// not fit the mode. Choice values are checked later, against the format's preset.
TCliArguments ParseCliArguments(const std::vector<std::string>& arguments);

// The help text, ending with a line feed.
std::string UsageText();

}  // namespace brenvale::cli
