#include "player/stream_state.h"

namespace brenvale::player {

StreamState::StreamState()
    : audio_buf1(kAudioBufferSize), audio_buf2(kAudioBufferSize), sample_array(kWaveformSamples) {}

StreamState::~StreamState() {
    for (SubPicture& sp : subpq) ff::avsubtitle_free(&sp.sub);
}

}  // namespace brenvale::player
