// Sound stored ahead of the pictures it plays with, as some muxers and cameras write it: the
// generator writes a wrapped track as if its times were earlier by the lead, and the file
// keeps that order (no interleaving by time stamp).
#pragma once

#include <cstdint>
#include <memory>

#include "tools/track_writer.h"

namespace brenvale::mediagen {

std::unique_ptr<TrackWriter> StoredAhead(std::unique_ptr<TrackWriter> track, std::int64_t lead_ms);

}  // namespace brenvale::mediagen
