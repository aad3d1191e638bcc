// What the probe reports about a file and about one of its video or audio streams. Before it is filled
// every number is -1 and every text empty.
#pragma once

#include <cstdint>
#include <string>

namespace brenvale {

struct TFileStreamInfo {
    std::int64_t StartTime = -1;  // microseconds; -1 when unknown
    std::int64_t Duration = -1;   // microseconds; -1 when unknown
    std::int64_t BitRate = -1;    // bits/s
    std::int64_t Timestamp = -1;  // creation time, seconds since 1970-01-01 UTC; 0 when absent
    std::int32_t Year = -1;       // 0 when absent
    std::int32_t Track = -1;      // 0 when absent
    std::string Title;
    std::string Author;
    std::string Copyright;
    std::string Comment;
    std::string Album;
    std::string Genre;
};

struct TVideoStreamInfo {
    std::string Language;
    std::string CodecDesc;
    std::int64_t StartTime = -1;    // in the stream's time base
    std::int64_t StartTimeUS = -1;  // -1 when unknown
    std::int64_t Duration = -1;     // in the stream's time base
    std::int64_t DurationUS = -1;   // -1 when unknown
    std::int64_t BitRate = -1;
    std::int32_t Height = -1;
    std::int32_t Width = -1;
    float AspectRatio = -1.0f;  // display aspect: Width x sample aspect / Height
    std::int32_t PixFmt = -1;
    std::int32_t FrameRateNum = -1;
    std::int32_t FrameRateDen = -1;
};

struct TAudioStreamInfo {
    std::string Language;
    std::string CodecDesc;
    std::int32_t SampleRate = -1;  // Hz
    std::int32_t Channels = -1;
};

}  // namespace brenvale
