// The waveform shown for files without video: a trigger point in the ring of recent samples,
// and one band per channel drawn on the composed surface.
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Surface;

namespace brenvale::player {

struct StreamState;

// The best trigger point in the 1000 samples before `x`, stepping by `channels`: the
// candidate with the largest a - d where b and c have opposite signs; `x` when none qualifies.
int FindTriggerPoint(const std::vector<std::int16_t>& ring, int x, int channels);

// Draws the waveform of the stream's recent sound onto the area of `surface`.
void DrawWaveform(StreamState& is, SDL_Surface& surface, std::int64_t audio_callback_time);

}  // namespace brenvale::player
