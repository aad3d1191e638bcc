#include "engine/option_helpers.h"

#include "binding/media_api.h"
#include "engine/ffmpeg_exception.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

TBitstreamFilterChain& chain_of_option(TCustomFFmpeg& engine, const std::string& name) {
    if (name[0] == 'v') return engine.video_bsf_chain;
    if (name[0] == 'a') return engine.audio_bsf_chain;
    return engine.subtitle_bsf_chain;
}

}  // namespace

void log_information(TCustomFFmpeg& engine, const std::string& message) {
    if (engine.on_log) engine.on_log(engine, 1, message);
}

std::int64_t parse_time_option(const std::string& name, const std::string& value, bool duration) {
    std::int64_t time_us = 0;
    if (ff::av_parse_time(&time_us, value.c_str(), duration ? 1 : 0) < 0) {
        throw FFmpegException(std::string("Invalid ") + (duration ? "duration" : "date") +
                              " specification for " + name + ": " + value);
    }
    return time_us;
}

void set_codec_choice(std::string& codec_name, std::int32_t& stream_copy, const std::string& value) {
    if (value.empty()) return;
    codec_name.clear();
    if (value == "copy") {
        stream_copy = 1;
    } else {
        codec_name = value;
    }
}

void apply_bit_rate_option(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    if (value.empty()) return;
    if (!engine.set_generic_option(name, value) || !engine.on_log) return;
    AVCodecContext* holder = engine.option_context.codec_opts[name[0] == 'a' ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO];
    std::int64_t bit_rate = 0;
    if (ff::av_opt_get_int(holder, "b", 0, &bit_rate) >= 0 && bit_rate < 1000) {
        engine.on_log(engine, 1,
                      "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
    }
}

void append_bitstream_filter(TCustomFFmpeg& engine, const std::string& name, const std::string& value) {
    if (value.empty() || value[0] == '=') return;
    // Arguments after "=" are not used.
    const std::string filter_name = value.substr(0, value.find('='));
    const AVBitStreamFilter* filter = ff::av_bsf_get_by_name(filter_name.c_str());
    if (!filter) throw FFmpegException("Unknown bitstream filter " + TrimText(value));
    AVBSFContext* context = nullptr;
    if (ff::av_bsf_alloc(filter, &context) < 0) {
        throw FFmpegException("Cannot allocate bitstream filter " + filter_name);
    }
    chain_of_option(engine, name).append(context);
}

void log_pixel_formats(TCustomFFmpeg& engine) {
    if (!engine.on_log) return;
    char line[128];
    // -1 gives the header; then every format the library describes.
    for (int format = -1; format < 0 || ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format)); ++format) {
        ff::av_get_pix_fmt_string(line, sizeof line, static_cast<AVPixelFormat>(format));
        engine.on_log(engine, 1, TrimText(line));
    }
}

void log_sample_formats(TCustomFFmpeg& engine) {
    if (!engine.on_log) return;
    char line[128];
    for (int format = -1; format < 0 || ff::av_get_sample_fmt_name(static_cast<AVSampleFormat>(format)); ++format) {
        ff::av_get_sample_fmt_string(line, sizeof line, static_cast<AVSampleFormat>(format));
        engine.on_log(engine, 1, TrimText(line));
    }
}

}  // namespace brenvale
