// Moving the reading position of the file for a seek (decoding thread).
#pragma once

#include <cstdint>
#include <vector>

#include "player/library_ptr.h"

namespace brenvale::player {

struct StreamState;

// To a key frame at or before `position_us` (the container's time), so that decoding from
// there reaches the position itself; to the first one after it when there is none before.
// Demuxers that land on any packet (MPEG program streams) are moved further back until the
// first picture read is a key frame. The packets read to check that are left in `read_ahead`,
// in file order: they belong after the seek's flush. False when the file cannot seek.
bool SeekToTime(StreamState& is, std::int64_t position_us, std::vector<PacketPtr>& read_ahead);

// By bytes, as the stream's time base scales the position.
bool SeekToBytes(StreamState& is, std::int64_t position);

}  // namespace brenvale::player
