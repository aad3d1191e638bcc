// Limits, records and small value types of the engine's tables and events.
#pragma once

#include <cstdint>

namespace brenvale {

inline constexpr int MAX_FILES = 20;    // input files, output files, metadata maps
inline constexpr int MAX_STREAMS = 20;  // streams per file
inline constexpr int MAX_CODECS = MAX_FILES * MAX_STREAMS;  // forced decoders, chosen encoders
inline constexpr int MAX_STREAM_MAPS = 400;

// Media types as the libraries number them.
inline constexpr int kMediaTypeCount = 5;  // video, audio, data, subtitle, attachment

struct TStreamMap {
    std::int32_t file_index = 0;
    std::int32_t stream_index = 0;
    std::int32_t sync_file_index = 0;
    std::int32_t sync_stream_index = 0;
};

struct TMetadataMap {
    std::int32_t out_file = 0;
    std::int32_t in_file = 0;
};

enum class THookAction { haContinue, haIgnore, haStop };

using TPreviewFlags = unsigned;
inline constexpr TPreviewFlags kPreviewWindow = 1;  // bit 0
inline constexpr TPreviewFlags kPreviewBitmap = 2;  // bit 1

}  // namespace brenvale
