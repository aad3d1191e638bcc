// The probe's reports: container facts and metadata, video and audio stream facts.
#include <cstdlib>

#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "probe/av_probe.h"
#include "probe/codec_description.h"

namespace brenvale {
namespace {

constexpr AVRational kMicroseconds{1, 1000000};

std::string metadata_value(const AVDictionary* metadata, const char* key) {
    const AVDictionaryEntry* entry = ff::av_dict_get(metadata, key, nullptr, 0);
    return entry ? entry->value : std::string();
}

// Today's demuxers give the generic name; older writers (and this program's own records once)
// used the other.
std::string metadata_value(const AVDictionary* metadata, const char* key, const char* older_key) {
    const std::string value = metadata_value(metadata, key);
    return value.empty() ? metadata_value(metadata, older_key) : value;
}

// The leading number of a tag such as "2009-05-01" or "3/12"; 0 when absent.
std::int32_t leading_number(const std::string& text) {
    return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

// Seconds since 1970 of the "creation_time" tag; 0 when absent or unreadable.
std::int64_t creation_time(const AVDictionary* metadata) {
    const std::string text = metadata_value(metadata, "creation_time");
    std::int64_t microseconds = 0;
    if (text.empty() || ff::av_parse_time(&microseconds, text.c_str(), 0) < 0) return 0;
    return microseconds / 1000000;
}

std::int64_t known_or_minus_one(std::int64_t time) { return time == AV_NOPTS_VALUE ? -1 : time; }

std::int64_t to_microseconds(std::int64_t time, AVRational time_base) {
    return time == AV_NOPTS_VALUE ? -1 : ff::av_rescale_q(time, time_base, kMicroseconds);
}

float display_aspect(const AVCodecParameters& parameters) {
    const AVRational sample_aspect = parameters.sample_aspect_ratio;
    if (sample_aspect.den == 0 || parameters.height == 0) return 0.0f;
    return static_cast<float>(parameters.width * (static_cast<double>(sample_aspect.num) / sample_aspect.den) /
                              parameters.height);
}

}  // namespace

void TAVProbe::GetFileStreamInfo(TFileStreamInfo& info) {
    info = TFileStreamInfo{};
    if (!format_context_) {
        fail(1, "file not loaded.");
        return;
    }
    const AVDictionary* metadata = format_context_->metadata;
    info.StartTime = known_or_minus_one(format_context_->start_time);
    info.Duration = known_or_minus_one(format_context_->duration);
    info.BitRate = format_context_->bit_rate;
    info.Timestamp = creation_time(metadata);
    info.Year = leading_number(metadata_value(metadata, "date", "year"));
    info.Track = leading_number(metadata_value(metadata, "track"));
    info.Title = metadata_value(metadata, "title");
    info.Author = metadata_value(metadata, "artist", "author");
    info.Copyright = metadata_value(metadata, "copyright");
    info.Comment = metadata_value(metadata, "comment");
    info.Album = metadata_value(metadata, "album");
    info.Genre = metadata_value(metadata, "genre");
}

void TAVProbe::GetVideoStreamInfo(TVideoStreamInfo& info) { GetVideoStreamInfo(-1, info); }

void TAVProbe::GetVideoStreamInfo(int index, TVideoStreamInfo& info) {
    info = TVideoStreamInfo{};
    if (!format_context_) return fail(1, "file not loaded.");
    if (index < 0) {
        index = first_video_stream_;
        if (index < 0) return fail(0, "no video stream.");
    }
    if (index >= stream_count_) return fail(0, "stream index #" + std::to_string(index) + " is invalid.");
    const AVStream& stream = *format_context_->streams[index];
    const AVCodecParameters& parameters = *stream.codecpar;
    if (!IsVideoStream(stream)) {
        return fail(0, "stream #" + std::to_string(index) + " is not video stream.");
    }
    info.Language = metadata_value(stream.metadata, "language");
    info.CodecDesc = codec_description(parameters);
    info.StartTime = stream.start_time;
    info.StartTimeUS = to_microseconds(stream.start_time, stream.time_base);
    info.Duration = stream.duration;
    info.DurationUS = to_microseconds(stream.duration, stream.time_base);
    info.BitRate = parameters.bit_rate;
    info.Height = parameters.height;
    info.Width = parameters.width;
    info.AspectRatio = display_aspect(parameters);
    info.PixFmt = parameters.format;
    info.FrameRateNum = stream.r_frame_rate.num;
    info.FrameRateDen = stream.r_frame_rate.den;
}

void TAVProbe::GetAudioStreamInfo(TAudioStreamInfo& info) {
    info = TAudioStreamInfo{};
    if (!format_context_) return fail(1, "file not loaded.");
    if (first_audio_stream_ < 0) return fail(0, "no audio stream.");
    const AVStream& stream = *format_context_->streams[first_audio_stream_];
    const AVCodecParameters& parameters = *stream.codecpar;
    info.Language = metadata_value(stream.metadata, "language");
    info.CodecDesc = codec_description(parameters);
    info.SampleRate = parameters.sample_rate;
    info.Channels = parameters.ch_layout.nb_channels;
}

}  // namespace brenvale
