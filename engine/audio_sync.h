// The audio/video sync decision of an audio output: cut audio that is ahead, pad audio that is
// late with silence, or stretch it slowly through the resampler.
#pragma once

#include <cstdint>

namespace brenvale {

inline constexpr int kMaxSilenceBytes = 131072;  // audio plus inserted silence, per packet

struct TAudioSyncInput {
    int method = 0;                // audio_sync_method, not 0 here
    float drift_threshold = 0.1f;  // seconds
    double input_time = 0;         // seconds
    int encoder_rate = 0;
    int decoder_rate = 0;
    int decoder_channels = 0;
    std::int64_t sync_pts = 0;  // samples passed to the encoder
    std::int64_t buffered = 0;  // samples waiting in the FIFO
    int size = 0;               // bytes of interleaved s16 in hand
    bool at_start = false;
};

enum class TAudioSyncKind { kNone, kCut, kPad, kCompensate };

struct TAudioSyncAction {
    TAudioSyncKind kind = TAudioSyncKind::kNone;
    double delta = 0;         // output samples the audio is late (positive) or ahead
    int bytes = 0;            // cut: bytes skipped; pad: silence bytes inserted
    int compensation = 0;     // samples for the resampler
    bool ends_start = false;  // at_start is cleared
};

TAudioSyncAction decide_audio_sync(const TAudioSyncInput& input);

}  // namespace brenvale
