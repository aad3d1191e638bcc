// Options that are ignored or refused, and the diagnostic options.
#include "engine/ffmpeg_exception.h"
#include "engine/option_helpers.h"
#include "engine/options.h"

namespace brenvale {
namespace {

// Options of the command-line tool that mean nothing for a job.
void ignore_option(TCustomFFmpeg& engine, const std::string& name, const std::string&) {
    log_information(engine, "Do nothing: option - " + name);
}

void refuse_option(TCustomFFmpeg&, const std::string& name, const std::string&) {
    throw FFmpegException("TODO: option - " + name);
}

void set_verbosity(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.set_verbose(StrToInt(value));
}

constexpr TOptionEntry kOptions[] = {
    {"L", ignore_option},
    {"h", ignore_option},
    {"version", ignore_option},
    {"formats", ignore_option},
    {"i", ignore_option},
    {"y", ignore_option},
    {"benchmark", ignore_option},
    {"apre", ignore_option},
    {"vpre", ignore_option},
    {"spre", ignore_option},
    {"threads", refuse_option},
    {"v", set_verbosity},
    {"dump", set_flag_option<&TJobSettings::pkt_dump>},
    {"hex", set_flag_option<&TJobSettings::hex_dump>},
    {"xerror", set_true_option<&TJobSettings::exit_on_error>},
};

}  // namespace

std::span<const TOptionEntry> ignored_and_diagnostic_options() { return kOptions; }

}  // namespace brenvale
