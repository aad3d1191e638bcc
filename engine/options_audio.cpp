// Audio and subtitle options.
#include "binding/media_api.h"
#include "engine/option_helpers.h"
#include "engine/option_values.h"
#include "engine/options.h"

namespace brenvale {
namespace {

// "ar" and "ac": values of 0 or less are ignored.
template <std::int32_t TJobSettings::*Field>
void set_positive_option(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const std::int32_t number = StrToInt(value);
    if (number > 0) engine.*Field = number;
}

void set_audio_codec(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    set_codec_choice(engine.audio_codec_name, engine.audio_stream_copy, value);
}

void set_subtitle_codec(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    set_codec_choice(engine.subtitle_codec_name, engine.subtitle_stream_copy, value);
}

void set_audio_tag(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    const auto tag = FourCharacterTag(value);
    if (!tag) throw AssertionError("audio tag parameter must be 4 chars");
    engine.audio_codec_tag = *tag;
}

void set_sample_format(TCustomFFmpeg& engine, const std::string&, const std::string& value) {
    if (value == "list") {
        log_sample_formats(engine);
    } else {
        engine.audio_sample_fmt = ff::av_get_sample_fmt(value.c_str());
    }
}

constexpr TOptionEntry kOptions[] = {
    {"ab", apply_bit_rate_option},
    {"aq", set_float_option<&TJobSettings::audio_qscale>},
    {"ar", set_positive_option<&TJobSettings::audio_sample_rate>},
    {"ac", set_positive_option<&TJobSettings::audio_channels>},
    {"an", set_flag_option<&TJobSettings::audio_disable>},
    {"acodec", set_audio_codec},
    {"atag", set_audio_tag},
    {"vol", set_int_option<&TJobSettings::audio_volume>},
    {"alang", set_text_option<&TJobSettings::audio_language>},
    {"sample_fmt", set_sample_format},
    {"absf", append_bitstream_filter},
    {"sn", set_flag_option<&TJobSettings::subtitle_disable>},
    {"scodec", set_subtitle_codec},
    {"slang", set_text_option<&TJobSettings::subtitle_language>},
    {"sbsf", append_bitstream_filter},
};

}  // namespace

std::span<const TOptionEntry> audio_and_subtitle_options() { return kOptions; }

}  // namespace brenvale
