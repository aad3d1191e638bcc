// Options of files, formats and muxing, and the two halves of "f".
#include <cmath>

#include "binding/media_api.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_helpers.h"
#include "engine/option_values.h"
#include "engine/options.h"

namespace brenvale {
namespace {

// "pgmyuv" is the image2 format with a flag of its own.
std::string resolve_format_name(TCustomFFmpeg& engine, const std::string& name) {
    if (name != "pgmyuv") return name;
    engine.pgmyuv_hack = 1;
    log_information(engine, "pgmyuv format is deprecated, use image2");
    return "image2";
}

void set_format(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (value.empty()) return;
    const std::string name = resolve_format_name(engine, value);
    const AVInputFormat* input = ff::av_find_input_format(name.c_str());
    const AVOutputFormat* output = ff::av_guess_format(name.c_str(), nullptr, nullptr);
    if (!input && !output) throw FFmpegException("Unknown input or output format: " + name);
    engine.input_format = input;
    engine.output_format = output;
}

void add_stream_map(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const StreamMapValue map = ParseStreamMap(value);
    engine.add_stream_map(TStreamMap{map.file_index, map.stream_index, map.sync_file_index, map.sync_stream_index});
}

void add_metadata_map(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const auto [out_file, in_file] = ParseMetadataMap(value);
    engine.add_metadata_map(TMetadataMap{out_file, in_file});
}

void add_metadata(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const auto equals = value.find('=');
    if (equals == std::string::npos) throw FFmpegException("Missing =");
    engine.metadata.emplace_back(value.substr(0, equals), value.substr(equals + 1));
}

void set_timestamp(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    const std::int64_t date_us = parse_time_option(name, value, false);
    engine.rec_timestamp = std::llround(static_cast<double>(date_us) / 1000000.0);
}

constexpr TOptionEntry kOptions[] = {
    {"f", set_format},
    {"map", add_stream_map},
    {"map_meta_data", add_metadata_map},
    {"metadata", add_metadata},
    {"timestamp", set_timestamp},
    {"programid", set_int_option<&TJobSettings::program_id>},
    {"loop_input", set_flag_option<&TJobSettings::loop_input>},
    {"loop_output", set_int_option<&TJobSettings::loop_output>},
    {"fs", set_int64_option<&TJobSettings::limit_filesize>},
    {"muxdelay", set_float_option<&TJobSettings::mux_max_delay>},
    {"muxpreload", set_float_option<&TJobSettings::mux_preload>},
};

}  // namespace

std::span<const TOptionEntry> file_options() { return kOptions; }

void TCustomFFmpeg::set_input_format(const std::string& name) {
    if (name.empty()) return;
    const std::string resolved = resolve_format_name(*this, name);
    const AVInputFormat* format = ff::av_find_input_format(resolved.c_str());
    if (!format) throw FFmpegException("Unknown input format: " + resolved);
    input_format = format;
}

void TCustomFFmpeg::set_output_format(const std::string& name) {
    if (name.empty()) return;
    const std::string resolved = resolve_format_name(*this, name);
    const AVOutputFormat* format = ff::av_guess_format(resolved.c_str(), nullptr, nullptr);
    if (!format) throw FFmpegException("Unknown output format: " + resolved);
    output_format = format;
}

}  // namespace brenvale
