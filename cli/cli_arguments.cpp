#include "cli/cli_arguments.h"

#include <algorithm>
#include <charconv>

#include "cli/option_lines.h"
#include "common/core_count.h"
#include "cli/preset_choices.h"
#include "cli/usage_error.h"

namespace brenvale::cli {
namespace {

// Splits "--name=value"; `value` stays empty without "=".
bool SplitInlineValue(const std::string& argument, std::string& name, std::string& value) {
    const auto equals = argument.find('=');
    name = argument.substr(0, equals);
    if (equals == std::string::npos) return false;
    value = argument.substr(equals + 1);
    return true;
}

constexpr int kMaxJobs = 64;

// "auto": one conversion per core.
int ParseJobCount(const std::string& text) {
    if (text == "auto") return std::min(CoreCount(), kMaxJobs);
    int jobs = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (error != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > kMaxJobs)
        throw TUsageError("--jobs takes auto or a number from 1 to 64, not '" + text + "'");
    return jobs;
}

// NAME=VALUE, or the NAME of a flag alone ("re"), on one line.
std::string CheckedOptionLine(const std::string& option, const std::string& line) {
    if (line.empty() || line.front() == '=' || line.find_first_of("\r\n") != std::string::npos)
        throw TUsageError(option + " takes NAME=VALUE or a flag's NAME on one line, not '" + line + "'");
    return line;
}

std::string OptionName(const std::string& line) { return line.substr(0, line.find('=')); }

void SetMode(TCliArguments& arguments, TCliMode mode) {
    if (arguments.Mode != TCliMode::Convert && arguments.Mode != mode)
        throw TUsageError("--list-formats, --show-preset, --list-values, --info, --help and --version exclude each other");
    arguments.Mode = mode;
}

void CheckFiles(const TCliArguments& arguments) {
    if (arguments.Json && arguments.Mode != TCliMode::Info) throw TUsageError("--json goes with --info");
    const bool takes_files = arguments.Mode == TCliMode::Convert || arguments.Mode == TCliMode::Info;
    if (takes_files && arguments.Files.empty()) throw TUsageError("no input files given");
    if (!takes_files && !arguments.Files.empty())
        throw TUsageError("unexpected file argument '" + arguments.Files.front() + "'");
}

class TParser {
public:
    explicit TParser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    TCliArguments Parse() {
        bool options_ended = false;
        while (position_ < arguments_.size()) {
            const std::string& argument = arguments_[position_++];
            if (options_ended || !argument.starts_with("-")) {
                result_.Files.push_back(argument);
            } else if (argument == "--") {
                options_ended = true;
            } else {
                ParseOption(argument);
            }
        }
        CheckFiles(result_);
        return result_;
    }

private:
    void ParseOption(const std::string& argument) {
        std::string name;
        has_inline_value_ = SplitInlineValue(argument, name, inline_value_);
        if (name == "--overwrite") return Flag(name, [&] { result_.Overwrite = true; });
        if (name == "--verbose") return Flag(name, [&] { result_.Verbose = true; });
        if (name == "--json") return Flag(name, [&] { result_.Json = true; });
        if (name == "--list-formats") return Flag(name, [&] { SetMode(result_, TCliMode::ListFormats); });
        if (name == "--info") return Flag(name, [&] { SetMode(result_, TCliMode::Info); });
        if (name == "--help" || name == "-h") return Flag(name, [&] { SetMode(result_, TCliMode::Help); });
        if (name == "--version") return Flag(name, [&] { SetMode(result_, TCliMode::Version); });
        if (name == "--format") {
            result_.Format = Value(name);
        } else if (name == "--show-preset") {
            SetMode(result_, TCliMode::ShowPreset);
            result_.Format = Value(name);
        } else if (name == "--list-values") {
            SetMode(result_, TCliMode::ListValues);
            result_.ListedSetting = Value(name);
            if (!IsChoiceOption(result_.ListedSetting))
                throw TUsageError("--list-values takes a setting such as --video-size, not '" + result_.ListedSetting + "'");
        } else if (name == "--output-folder") {
            result_.OutputFolder = Value(name);
            if (result_.OutputFolder.empty()) throw TUsageError("--output-folder needs a folder");
        } else if (name == "--option") {
            result_.ExtOptionLines.push_back(CheckedOptionLine(name, Value(name)));
            RefuseOptionOfASetting(OptionName(result_.ExtOptionLines.back()));
        } else if (name == "--input-option") {
            result_.InputOptionLines.push_back(CheckedOptionLine(name, Value(name)));
        } else if (name == "--jobs") {
            result_.Jobs = ParseJobCount(Value(name));
        } else if (IsChoiceOption(name)) {
            result_.Choices.emplace_back(name, Value(name));
        } else {
            throw TUsageError("unknown option '" + name + "'");
        }
    }

    template <class Action>
    void Flag(const std::string& name, Action action) {
        if (has_inline_value_) throw TUsageError(name + " takes no value");
        action();
    }

    std::string Value(const std::string& name) {
        if (has_inline_value_) return inline_value_;
        if (position_ >= arguments_.size()) throw TUsageError(name + " needs a value");
        return arguments_[position_++];
    }

    const std::vector<std::string>& arguments_;
    std::size_t position_ = 0;
    bool has_inline_value_ = false;
    std::string inline_value_;
    TCliArguments result_;
};

}  // namespace

TCliArguments ParseCliArguments(const std::vector<std::string>& arguments) { return TParser(arguments).Parse(); }

std::string UsageText() {
    return "Usage: brenvale-cli [options] FILE...\n"
           "  or:  brenvale-cli --list-formats | --show-preset F | --list-values SETTING | --info [--json] FILE...\n"
           "Converts media files with the output formats and presets of Brenvale.\n"
           "  --format F           swf, flv, avi, divx, mp3, mp4, mpeg1, mpeg2, mov, wmv (default flv),\n"
           "                       mp4-h264, mp4-h265, webm-vp9, webm-av1, mkv, m4a, opus, flac\n"
           "  --output-folder DIR  where the outputs go, made when missing (default: the current\n"
           "                       folder)\n"
           "  --overwrite          replace existing outputs (otherwise name-1, name-2, ...)\n"
           "  --video-codec X --video-size X --video-bitrate X --frame-rate X\n"
           "  --audio-codec X --audio-bitrate X --channels X --sample-rate X --volume X --aspect X\n"
           "                       a value the format's preset offers (see --show-preset), any case:\n"
           "                       sizes as WxH or original, rates as numbers or auto, bit rates in\n"
           "                       kbit/s, volume in percent, aspect original, 4:3 or 16:9; source\n"
           "                       keeps the source's rate or channels; the codec copy (formats of\n"
           "                       today) keeps the source's stream as it is\n"
           "  --option NAME=VALUE  an extra engine option line for the output (repeatable; a flag\n"
           "                       may come without =VALUE); the settings above are not given\n"
           "                       this way (vcodec, ab, r, ...)\n"
           "  --input-option NAME=VALUE\n"
           "                       an engine option line applied before each input opens\n"
           "                       (repeatable): itsoffset, itsscale, f, ss, ...\n"
           "  --jobs N|auto        convert up to N files at once, auto: one per core (default 1)\n"
           "  --verbose            every log line as it comes (otherwise each warning once per\n"
           "                       file, with a count, when the file ends)\n"
           "  --list-formats       the output formats\n"
           "  --show-preset F      what format F offers and selects\n"
           "  --list-values SETTING\n"
           "                       the values a setting (--video-size, ...) takes, one a line, for\n"
           "                       the --format, --video-codec and --audio-codec given\n"
           "  --info FILE...       container, duration, bit rate and streams of each file (codec,\n"
           "                       profile, size, frame rate, pixel format, channels, sample rate,\n"
           "                       bit rate, language); with --json as a JSON array\n"
           "  --version            the program's name and version\n"
           "  -h, --help           this help\n"
           "Exit status: 0 all done, 1 a file failed, 2 usage error, 130 interrupted.\n";
}

}  // namespace brenvale::cli
