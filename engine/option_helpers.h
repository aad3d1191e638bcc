// Helpers several option groups share.
#pragma once

#include <cstdint>
#include <string>

#include "engine/custom_ffmpeg.h"
#include "engine/option_numbers.h"

namespace brenvale {

// Handlers of options that only store their value in a pending setting.
template <bool TJobSettings::*Field>
void set_flag_option(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.*Field = IsFlagSet(value);
}

template <std::int32_t TJobSettings::*Field>
void set_int_option(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.*Field = StrToInt(value);
}

template <std::int64_t TJobSettings::*Field>
void set_int64_option(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.*Field = StrToInt64(value);
}

template <float TJobSettings::*Field>
void set_float_option(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.*Field = static_cast<float>(StrToFloat(value));
}

template <std::string TJobSettings::*Field>
void set_text_option(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    engine.*Field = value;
}

// Options whose value is not read.
template <bool TJobSettings::*Field>
void set_true_option(TCustomFFmpeg& engine, const std::string&, const std::string&) {
    engine.*Field = true;
}

// on_log at level 1 when it is bound.
void log_information(TCustomFFmpeg& engine, const std::string& message);

// Time value of "t", "ss", "itsoffset" (duration) or "timestamp" (date), in microseconds.
// Throws FFmpegException "Invalid duration specification for <name>: <value>" (or "date").
std::int64_t parse_time_option(const std::string& name, const std::string& value, bool duration);

// "vcodec", "acodec", "scodec": empty value: nothing; "copy" sets the copy flag and forgets the
// name; any other value becomes the codec name.
void set_codec_choice(std::string& codec_name, std::int32_t& stream_copy, const std::string& value);

// "b", "vb", "ab": the generic option, then the warning about values meant as kbit/s.
void apply_bit_rate_option(TCustomFFmpeg& engine, const std::string& name, const std::string& value);

// "vbsf", "absf", "sbsf": a new filter context at the end of the chain of the option's media type.
void append_bitstream_filter(TCustomFFmpeg& engine, const std::string& name, const std::string& value);

// Writes one line per pixel or sample format to on_log (level 1), the header first.
void log_pixel_formats(TCustomFFmpeg& engine);
void log_sample_formats(TCustomFFmpeg& engine);

}  // namespace brenvale
