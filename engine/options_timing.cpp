// Options of timing and synchronisation.
#include <algorithm>
#include <limits>

#include "engine/ffmpeg_exception.h"
#include "engine/option_helpers.h"
#include "engine/option_values.h"
#include "engine/options.h"

namespace brenvale {
namespace {

void set_recording_time(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    const std::int64_t duration_us = parse_time_option(name, value, true);
    if (duration_us <= 0) return;
    engine.recording_time = duration_us;
    // Durations beyond 24 days do not fit in milliseconds of 32 bits.
    engine.total_duration_ms = static_cast<std::int32_t>(
        std::min<std::int64_t>(duration_us / 1000, std::numeric_limits<std::int32_t>::max()));
}

void set_start_time(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    engine.start_time = parse_time_option(name, value, true);
}

void set_input_ts_offset(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    engine.input_ts_offset = parse_time_option(name, value, true);
}

// The scale is for the next input file to be opened.
void set_input_ts_scale(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const auto [stream, scale] = ParseTimeStampScale(value);
    if (stream < 0 || stream >= MAX_STREAMS) {
        throw FFmpegException("stream index over MAX_STREAMS(" + std::to_string(MAX_STREAMS) + ")");
    }
    if (engine.input_file_count < 0 || engine.input_file_count >= MAX_FILES) {
        throw FFmpegException("Too many input files (at most " + std::to_string(MAX_FILES) + ")");
    }
    engine.input_ts_scales[static_cast<std::size_t>(engine.input_file_count)][static_cast<std::size_t>(stream)] = scale;
}

template <std::size_t MediaType>
void set_frame_limit(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.max_frames[MediaType] = StrToInt(value);
}

constexpr TOptionEntry kOptions[] = {
    {"t", set_recording_time},
    {"ss", set_start_time},
    {"itsoffset", set_input_ts_offset},
    {"itsscale", set_input_ts_scale},
    {"vsync", set_int_option<&TJobSettings::video_sync_method>},
    {"async", set_int_option<&TJobSettings::audio_sync_method>},
    {"adrift_threshold", set_float_option<&TJobSettings::audio_drift_threshold>},
    {"copyts", set_true_option<&TJobSettings::copy_ts>},
    {"shortest", set_flag_option<&TJobSettings::shortest>},
    {"dts_delta_threshold", set_float_option<&TJobSettings::dts_delta_threshold>},
    {"isync", set_flag_option<&TJobSettings::input_sync>},
    {"re", set_flag_option<&TJobSettings::rate_emu>},
    {"copyinkf", set_int_option<&TJobSettings::copy_initial_nonkeyframes>},
    {"vframes", set_frame_limit<0>},
    {"aframes", set_frame_limit<1>},
    {"dframes", set_frame_limit<2>},
};

}  // namespace

std::span<const TOptionEntry> timing_options() { return kOptions; }

}  // namespace brenvale
