// apply_target: the vcd, svcd, dvd, dv and dv50 presets and the detection of the TV norm.
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"

namespace brenvale {
namespace {

enum class TNorm { pal, ntsc, film };

enum class TChannelRule { unchanged, stereo, stereo_when_mono };

struct TLibrarySetting {
    std::string_view name;
    std::string_view value;
};

// Empty texts leave their setting unchanged.
struct TTargetPreset {
    std::string_view type;
    std::string_view video_codec;
    std::string_view audio_codec;
    std::string_view format;
    std::string_view pal_size;
    std::string_view ntsc_size;  // NTSC and film
    std::string_view pal_pixel_format;
    std::string_view ntsc_pixel_format;
    bool sets_gop_size;
    std::vector<TLibrarySetting> settings;  // generic options, in order
    std::int32_t audio_sample_rate;
    TChannelRule channels;
    std::optional<float> mux_preload;
    std::string_view default_aspect;  // when no aspect ratio is set
};

// The 5.1 encoder keeps the SVCD scan offset as a private option of its own.
const std::vector<TTargetPreset>& target_presets() {
    static const std::vector<TTargetPreset> presets = {
        {"vcd", "mpeg1video", "mp2", "vcd", "352x288", "352x240", "", "", true,
         {{"b", "1150000"}, {"maxrate", "1150000"}, {"minrate", "1150000"}, {"bufsize", "327680"},
          {"ab", "224000"}, {"packetsize", "2324"}, {"muxrate", "1411200"}},
         44100, TChannelRule::stereo, 0.44f, "4:3"},
        {"svcd", "mpeg2video", "mp2", "svcd", "480x576", "480x480", "", "", true,
         {{"b", "2040000"}, {"maxrate", "2516000"}, {"minrate", "0"}, {"bufsize", "1835008"},
          {"scan_offset", "1"}, {"ab", "224000"}, {"packetsize", "2324"}},
         44100, TChannelRule::stereo_when_mono, std::nullopt, "4:3"},
        {"dvd", "mpeg2video", "ac3", "dvd", "720x576", "720x480", "", "", true,
         {{"b", "6000000"}, {"maxrate", "9000000"}, {"minrate", "0"}, {"bufsize", "1835008"},
          {"ab", "448000"}, {"packetsize", "2048"}, {"muxrate", "10080000"}},
         48000, TChannelRule::stereo_when_mono, std::nullopt, "16:9"},
        {"dv", "", "", "dv", "720x576", "720x480", "yuv420p", "yuv411p", false, {}, 48000, TChannelRule::stereo,
         std::nullopt, ""},
        {"dv50", "", "", "dv", "720x576", "720x480", "yuv422p", "yuv422p", false, {}, 48000, TChannelRule::stereo,
         std::nullopt, ""},
    };
    return presets;
}

const TTargetPreset& find_target_preset(const std::string& type) {
    for (const TTargetPreset& preset : target_presets()) {
        if (preset.type == type) return preset;
    }
    throw FFmpegException("Unknown target type");
}

// A rate in thousandths of a frame per second that names a norm.
std::optional<TNorm> norm_of_rate(AVRational rate) {
    if (rate.num == 0 || rate.den == 0) return std::nullopt;
    const long milli_fps = std::lround(rate.num * 1000.0 / rate.den);
    if (milli_fps == 25000) return TNorm::pal;
    if (milli_fps == 29970 || milli_fps == 23976) return TNorm::ntsc;
    return std::nullopt;
}

std::optional<TNorm> norm_of_inputs(const TCustomFFmpeg& engine) {
    for (int i = 0; i < engine.input_file_count; ++i) {
        AVFormatContext* input = engine.input_files[static_cast<std::size_t>(i)];
        for (unsigned s = 0; s < input->nb_streams; ++s) {
            AVStream* stream = input->streams[s];
            if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
            if (const auto norm = norm_of_rate(ff::av_guess_frame_rate(input, stream, nullptr))) return norm;
        }
    }
    return std::nullopt;
}

TNorm fallback_norm_of(const std::string& fallback) {
    if (fallback == "film") return TNorm::film;
    if (fallback == "ntsc") return TNorm::ntsc;
    return TNorm::pal;
}

TNorm detect_norm(TCustomFFmpeg& engine, const std::string& fallback) {
    if (engine.frame_rate.den == 0) throw FFmpegException("frame_rate is invalid.");
    std::optional<TNorm> norm = norm_of_rate(engine.frame_rate);
    if (!norm) norm = norm_of_inputs(engine);
    const TNorm chosen = norm.value_or(fallback_norm_of(fallback));
    if (engine.verbose > 0 && engine.on_log) {
        engine.on_log(engine, 1, std::string("Assuming ") + (chosen == TNorm::pal ? "PAL" : "NTSC") + " for target.");
    }
    return chosen;
}

TNorm norm_named(TCustomFFmpeg& engine, const std::string& norm, const std::string& fallback) {
    if (norm == "pal") return TNorm::pal;
    if (norm == "ntsc") return TNorm::ntsc;
    if (norm == "film") return TNorm::film;
    return detect_norm(engine, fallback);
}

void apply_if_set(TCustomFFmpeg& engine, const char* name, std::string_view value) {
    if (!value.empty()) engine.apply_option(name, std::string(value));
}

std::string_view frame_rate_of(TNorm norm) {
    switch (norm) {
        case TNorm::pal: return "25";
        case TNorm::ntsc: return "30000/1001";
        case TNorm::film: return "24000/1001";
    }
    return "25";
}

void apply_picture_settings(TCustomFFmpeg& engine, const TTargetPreset& preset, TNorm norm) {
    const bool pal = norm == TNorm::pal;
    apply_if_set(engine, "vcodec", preset.video_codec);
    apply_if_set(engine, "acodec", preset.audio_codec);
    engine.set_output_format(std::string(preset.format));
    apply_if_set(engine, "s", pal ? preset.pal_size : preset.ntsc_size);
    apply_if_set(engine, "pix_fmt", pal ? preset.pal_pixel_format : preset.ntsc_pixel_format);
    apply_if_set(engine, "r", frame_rate_of(norm));
    if (preset.sets_gop_size) engine.set_generic_option("g", pal ? "15" : "18");
}

void apply_stream_settings(TCustomFFmpeg& engine, const TTargetPreset& preset) {
    for (const TLibrarySetting& setting : preset.settings) {
        engine.set_generic_option(std::string(setting.name), std::string(setting.value));
    }
    engine.audio_sample_rate = preset.audio_sample_rate;
    if (preset.channels == TChannelRule::stereo ||
        (preset.channels == TChannelRule::stereo_when_mono && engine.audio_channels == 1)) {
        engine.audio_channels = 2;
    }
    if (preset.mux_preload) engine.mux_preload = *preset.mux_preload;
}

void apply_default_aspect(TCustomFFmpeg& engine, const TTargetPreset& preset) {
    if (preset.default_aspect.empty() || engine.frame_aspect_ratio != 0.0f) return;
    engine.apply_option("aspect", std::string(preset.default_aspect));
    if (engine.on_log) {
        engine.on_log(engine, 1, "Assuming " + std::string(preset.default_aspect) + " for aspect ratio");
    }
}

}  // namespace

void TCustomFFmpeg::apply_target(const std::string& type, const std::string& norm, const std::string& fallback_norm) {
    const TNorm chosen = norm_named(*this, norm, fallback_norm);
    const TTargetPreset& preset = find_target_preset(type);
    apply_picture_settings(*this, preset, chosen);
    apply_stream_settings(*this, preset);
    apply_default_aspect(*this, preset);
}

}  // namespace brenvale
