// Reads a media file back the way a player would: probe it, then decode every packet of
// every stream and count what comes out.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "binding/media_api.h"

namespace brenvale::testing {

struct StreamReport {
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    std::string codec;  // codec name from the stream parameters
    int width = 0;
    int height = 0;
    AVRational frame_rate{0, 1};  // the library's guess from the stream
    int sample_rate = 0;
    int channels = 0;
    int profile = -99;               // FF_PROFILE_UNKNOWN when the stream states none
    std::uint32_t codec_tag = 0;     // the four characters, first in the lowest byte
    AVRational sample_aspect{0, 1};  // 0/1 when unknown
    std::int64_t bit_rate = 0;       // as the stream states it; 0 when it states none
    std::int64_t duration_us = -1;  // -1 when the stream states none
    std::int64_t frames = 0;        // pictures, audio frames or subtitle cues decoded
    std::int64_t samples = 0;       // audio samples per channel decoded
    int decode_errors = 0;
    // Of the decoded pictures and sound, on the file's clock (both -1 when nothing was decoded):
    // the earliest one's time and the end of the latest one.
    std::int64_t first_us = -1;
    std::int64_t end_us = -1;
    std::string pixel_format;  // of the first decoded picture
    AVColorRange color_range = AVCOL_RANGE_UNSPECIFIED;
    bool attached_picture = false;  // a cover: a still the container stores beside the sound

    double DecodedSeconds() const { return static_cast<double>(end_us - first_us) / 1e6; }
};

struct MediaReport {
    int open_result = 0;  // negative library error when opening or probing failed
    std::string format;
    std::int64_t duration_us = -1;  // -1 when the container states none
    std::vector<StreamReport> streams;
    std::map<std::string, std::string> tags;  // container tags, keys in lower case

    bool Opened() const { return open_result >= 0; }
    // Attached pictures are not video: they are Covers().
    std::vector<StreamReport> StreamsOf(AVMediaType type) const;
    std::vector<StreamReport> Covers() const;
    // The tag's value; empty when absent.
    std::string Tag(const std::string& key) const;
};

// Called for every decoded picture and audio frame; the frame is valid during the call.
using FrameVisitor = std::function<void(int stream_index, const AVFrame& frame)>;

// The same with the frame's time on the file's clock in microseconds (-1 when it has none).
using TimedFrameVisitor = std::function<void(int stream_index, const AVFrame& frame, std::int64_t time_us)>;

// `path` is a UTF-8 file name. The converter libraries must be loaded.
MediaReport ReadMedia(const std::string& path, const FrameVisitor& visitor = {});
MediaReport ReadTimedMedia(const std::string& path, const TimedFrameVisitor& visitor);

}  // namespace brenvale::testing
