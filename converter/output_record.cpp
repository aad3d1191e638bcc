#include "converter/output_record.h"

#include <string>

#include "converter/creation_time.h"
#include "converter/input_record.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale {
namespace {

void apply_unless_empty(TCustomFFmpeg& job, const char* name, const std::string& value) {
    if (!value.empty()) job.apply_option(name, value);
}

void apply_number(TCustomFFmpeg& job, const char* name, std::int32_t value) {
    job.apply_option(name, std::to_string(value));
}

void generic_if_positive(TCustomFFmpeg& job, const char* name, std::int32_t value) {
    if (value > 0) job.set_generic_option(name, std::to_string(value));
}

struct TNumberField {
    const char* option;
    std::int32_t TOutputOptions::*field;
};

// The handlers ignore negative sizes.
constexpr TNumberField kCropAndPad[] = {
    {"croptop", &TOutputOptions::CropTop},   {"cropbottom", &TOutputOptions::CropBottom},
    {"cropleft", &TOutputOptions::CropLeft}, {"cropright", &TOutputOptions::CropRight},
    {"padtop", &TOutputOptions::PadTop},     {"padbottom", &TOutputOptions::PadBottom},
    {"padleft", &TOutputOptions::PadLeft},   {"padright", &TOutputOptions::PadRight},
};

// The libraries know the group-of-pictures size as "g"; "gop" would be ignored.
constexpr TNumberField kVideoRates[] = {
    {"g", &TOutputOptions::GroupPictureSize},        {"vb", &TOutputOptions::VideoBitrate},
    {"maxrate", &TOutputOptions::VideoMaxRate},      {"minrate", &TOutputOptions::VideoMinRate},
    {"bt", &TOutputOptions::VideoBitrateTolerance}, {"bufsize", &TOutputOptions::VideoBufSize},
};

void apply_container(TCustomFFmpeg& job, const TOutputOptions& options) {
    job.set_output_format(options.FileFormat);
    generic_if_positive(job, "packetsize", options.PacketSize);
    generic_if_positive(job, "muxrate", options.MuxRate);
    if (options.MuxDelay > 0) job.mux_max_delay = options.MuxDelay;
    if (options.MuxPreload > 0) job.mux_preload = options.MuxPreload;
}

void apply_audio(TCustomFFmpeg& job, const TOutputOptions& options) {
    apply_unless_empty(job, "acodec", options.AudioCodec);
    job.audio_disable = options.AudioDisable;
    if (options.AudioVolume >= 0) job.audio_volume = options.AudioVolume;
    apply_number(job, "ac", options.AudioChannels);
    apply_number(job, "ar", options.AudioSampleRate);
    generic_if_positive(job, "ab", options.AudioBitrate);
    generic_if_positive(job, "abt", options.AudioBitrateTolerance);
    job.audio_language = options.AudioLanguage;
    job.audio_sync_method = options.AudioSync;
    if (options.AudioDriftThreshold > 0) job.audio_drift_threshold = options.AudioDriftThreshold;
    apply_unless_empty(job, "atag", options.AudioTag);
}

void apply_picture(TCustomFFmpeg& job, const TOutputOptions& options) {
    apply_unless_empty(job, "vcodec", options.VideoCodec);
    job.video_disable = options.VideoDisable;
    apply_unless_empty(job, "pix_fmt", options.PixelFormat);
    apply_unless_empty(job, "r", options.FrameRate);
    apply_unless_empty(job, "s", options.FrameSize);
    apply_unless_empty(job, "aspect", options.FrameAspectRatio);
    for (const auto& [option, field] : kCropAndPad) apply_number(job, option, options.*field);
    apply_number(job, "padcolor", options.PadColor & 0xFFFFFF);
}

void apply_video_rates(TCustomFFmpeg& job, const TOutputOptions& options) {
    for (const auto& [option, field] : kVideoRates) generic_if_positive(job, option, options.*field);
    if (options.VideoQuality >= 0) job.set_generic_option("crf", std::to_string(options.VideoQuality));
    job.video_sync_method = options.VideoSync;
    apply_unless_empty(job, "vtag", options.VideoTag);
    apply_unless_empty(job, "vfilters", options.VideoFilters);
}

void apply_subtitles_and_timing(TCustomFFmpeg& job, const TOutputOptions& options) {
    job.subtitle_disable = options.SubtitleDisable;
    job.subtitle_language = options.SubtitleLanguage;
    job.copy_ts = options.CopyTimestamp;
    apply_start_time(job, options.StartTimeMs, options.StartTimeUs);
    if (options.RecordingTimeMs > 0) {
        job.recording_time = std::int64_t{options.RecordingTimeMs} * 1000;
        job.total_duration_ms = options.RecordingTimeMs;
    }
    if (options.RecordingTimeUs > 0) {
        job.recording_time = options.RecordingTimeUs;
        job.total_duration_ms = static_cast<std::int32_t>(options.RecordingTimeUs / 1000);
    }
}

void apply_stream_info(TCustomFFmpeg& job, const TStreamInfo& info) {
    if (info.TimeStamp == 0) job.rec_timestamp = current_unix_time();
    if (info.TimeStamp > 0) job.rec_timestamp = unix_time_from_local(info.TimeStamp);
    // Today's muxers write "date" and "artist"; "year" and "author" reach few of them.
    if (info.Year > 0) job.metadata.emplace_back("date", std::to_string(info.Year));
    if (info.Track > 0) job.metadata.emplace_back("track", std::to_string(info.Track));
    const std::pair<const char*, const std::string&> tags[] = {
        {"title", info.Title},     {"artist", info.Author}, {"copyright", info.Copyright},
        {"comment", info.Comment}, {"album", info.Album},   {"genre", info.Genre},
    };
    for (const auto& [key, value] : tags) {
        if (!value.empty()) job.metadata.emplace_back(key, value);
    }
}

const char* norm_text(std::int32_t tv_standard) {
    switch (tv_standard) {
        case 1: return "pal";
        case 2: return "ntsc";
        default: return "auto";
    }
}

}  // namespace

void apply_output_target(TCustomFFmpeg& job, const TOutputOptions& options) {
    static constexpr const char* kTargetTypes[] = {"vcd", "svcd", "dvd"};
    if (options.Target < 1 || options.Target > 3) return;
    job.apply_target(kTargetTypes[options.Target - 1], norm_text(options.TVStandard),
                     options.DefaultTVStandard == 1 ? "pal" : "ntsc");
}

void apply_output_options(TCustomFFmpeg& job, const TOutputOptions& options) {
    apply_container(job, options);
    apply_audio(job, options);
    apply_picture(job, options);
    apply_video_rates(job, options);
    apply_subtitles_and_timing(job, options);
    apply_stream_info(job, options.Info);
}

}  // namespace brenvale
