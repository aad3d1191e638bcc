// The sound side of playback: decoding to interleaved 16-bit sound, the SDL audio callback
// with volume and mute, and the sound device of one stream.
#pragma once

#include <cstdint>

namespace brenvale::player {

struct StreamState;

// Opens the sound device for the stream's audio decoder and starts it. False (logged) when
// SDL cannot open it.
bool OpenAudioOutput(StreamState& is);
void CloseAudioOutput(StreamState& is);

// SDL's audio thread: fills `len` bytes of `stream`.
void AudioCallback(void* opaque, std::uint8_t* stream, int len);

// Decodes the next buffer into is.audio_buf; its size in bytes, or -1 when paused, aborted
// or out of packets.
int AudioDecodeFrame(StreamState& is);

// Copies `bytes` of 16-bit sound to SDL's stream: zeros when muted, else mixed at `volume`.
void MixOut(std::uint8_t* stream, const std::uint8_t* sound, int bytes, bool mute, int volume);

}  // namespace brenvale::player
