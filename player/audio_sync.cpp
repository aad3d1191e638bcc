#include "player/audio_sync.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "player/clocks.h"

namespace brenvale::player {

StreamState::AudioDiff MakeAudioDiff(int sample_rate) {
    StreamState::AudioDiff state;
    state.avg_coef = std::exp(std::log10(0.01) / kAudioDiffAverageCount);
    state.threshold = sample_rate > 0 ? 2.0 * kSdlAudioSamples / sample_rate : 0;
    return state;
}

int WantedAudioSize(StreamState::AudioDiff& state, double diff, int size, int frame_bytes, int sample_rate) {
    if (diff >= kNoSyncThreshold) {
        state.avg_count = 0;
        state.cum = 0;
        return size;
    }
    state.cum = diff + state.avg_coef * state.cum;
    if (state.avg_count < kAudioDiffAverageCount) {
        ++state.avg_count;
        return size;
    }
    const double average = state.cum * (1.0 - state.avg_coef);
    if (std::fabs(average) < state.threshold) return size;
    const std::int64_t wanted = size + RoundHalfEven(diff * sample_rate) * frame_bytes;
    const std::int64_t frames = size / frame_bytes;
    const std::int64_t minimum = frames * 90 / 100 * frame_bytes;
    const std::int64_t maximum = frames * 110 / 100 * frame_bytes;
    return static_cast<int>(std::clamp(wanted, minimum, maximum));
}

int ResizeAudioBuffer(std::uint8_t* buffer, int size, int wanted, int frame_bytes, int capacity) {
    wanted = std::min(wanted, capacity / frame_bytes * frame_bytes);
    if (wanted <= size || size < frame_bytes) return std::min(wanted, size);
    const std::uint8_t* last = buffer + size - frame_bytes;
    for (int at = size; at + frame_bytes <= wanted; at += frame_bytes) std::memcpy(buffer + at, last, frame_bytes);
    return wanted / frame_bytes * frame_bytes;
}

int SynchronizeAudio(StreamState& is, std::uint8_t* buffer, int size, int capacity) {
    const int sync_type = is.settings.sync_type;
    const bool follows = (sync_type == static_cast<int>(SyncType::Video) && is.has_video) ||
                         sync_type == static_cast<int>(SyncType::External);
    if (!follows) return size;
    const int frame_bytes = 2 * is.audio_channels;
    const double diff = AudioClock(is) - MasterClock(is);
    const int wanted = WantedAudioSize(is.audio_diff, diff, size, frame_bytes, is.audio_sample_rate);
    return ResizeAudioBuffer(buffer, size, wanted, frame_bytes, capacity);
}

}  // namespace brenvale::player
