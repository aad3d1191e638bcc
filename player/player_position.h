// Position arithmetic of the player, kept apart so it can be checked on its own.
#pragma once

#include <cstdint>

namespace brenvale::player {

// The seek target for a request of `pts` µs from the file's start: lowered to the container
// duration, plus the container start time when known (the library's no-time otherwise).
std::int64_t SeekTarget(std::int64_t pts, std::int64_t container_duration, std::int64_t container_start);

// The end point of the play window, or the library's no-time value without one.
std::int64_t PlayWindowEnd(std::int64_t start_time, std::int64_t play_length);

}  // namespace brenvale::player
