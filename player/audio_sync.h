// Lengthening or shortening decoded sound so that it stays in step with the master clock.
#pragma once

#include <cstdint>

#include "player/stream_state.h"

namespace brenvale::player {

// The averaging constants for a stream of `sample_rate`: coefficient e^(log10(0.01) / 20),
// threshold 2048 / sample rate seconds.
StreamState::AudioDiff MakeAudioDiff(int sample_rate);

// The size the buffer of `size` bytes should have, given `diff` = audio clock - master clock
// (seconds) and `frame_bytes` = 2 x channels. Within 10 % of the buffer in whole frames.
int WantedAudioSize(StreamState::AudioDiff& state, double diff, int size, int frame_bytes, int sample_rate);

// Shortens the buffer to `wanted` bytes, or lengthens it by repeating its last sample frame;
// never beyond `capacity`. Returns the new size.
int ResizeAudioBuffer(std::uint8_t* buffer, int size, int wanted, int frame_bytes, int capacity);

// The whole correction for one decoded buffer, when the sound follows another clock.
int SynchronizeAudio(StreamState& is, std::uint8_t* buffer, int size, int capacity);

}  // namespace brenvale::player
