// Times of input streams in microseconds, shared by decoding and stream copy.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/rational.h>
}

struct AVPacket;

namespace brenvale {

struct InputStream;

std::int64_t to_microseconds(std::int64_t value, AVRational time_base);
// One picture of the stream, longer by half a frame per repeated field; 0 without a known rate.
std::int64_t frame_duration_us(const InputStream& ist, int repeat_pict);
// Where the stream's decode times start when its first packet has none (Matroska gives B-frame
// video presentation times only): that packet's presentation time less the pictures the
// decoder holds back, so that the decode times the demuxer derives later never fall behind.
// `pts` is the stream's time in hand, taken when the packet has no time at all.
std::int64_t first_decode_time_us(const InputStream& ist, const AVPacket& packet, std::int64_t pts);

}  // namespace brenvale
