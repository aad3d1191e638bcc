// What the output containers make of times: those that count frames instead of storing times,
// the unit copied packets are written in, and decode times that every muxer takes.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/rational.h>
}

struct AVOutputFormat;
struct AVStream;

namespace brenvale {

// AVI: a stream's times are frame numbers. A stream cannot start before zero there: the muxer
// moves every stream by the earliest time, rounded up to a whole frame of each stream.
bool counts_frames(const AVOutputFormat& output);

// One frame of the source when the output counts frames instead of storing times (AVI), or
// when the source's own unit is finer than a millisecond; otherwise the source's own unit.
AVRational copied_time_base(const AVStream& source, int ticks_per_frame, const AVOutputFormat& output);

struct TPacketTimes {
    std::int64_t pts = 0;  // may be AV_NOPTS_VALUE
    std::int64_t dts = 0;
};

// Muxers refuse decode times that do not rise, and presentation times before them. Source files
// hold such times (joined recordings, damaged files); a copy moves them just past the last one.
// `last_dts` is AV_NOPTS_VALUE before the first packet.
TPacketTimes rising_decode_times(TPacketTimes times, std::int64_t last_dts);

}  // namespace brenvale
