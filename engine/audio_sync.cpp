#include "engine/audio_sync.h"

#include <algorithm>
#include <cmath>

namespace brenvale {
namespace {

constexpr double kSyncToleranceSamples = 50;

TAudioSyncAction cut_or_pad(const TAudioSyncInput& input, double delta, std::int64_t byte_delta) {
    TAudioSyncAction action;
    action.delta = delta;
    if (byte_delta < 0) {
        action.kind = TAudioSyncKind::kCut;
        action.bytes = static_cast<int>(std::min<std::int64_t>(-byte_delta, input.size));
        action.ends_start = true;
        return action;
    }
    action.kind = TAudioSyncKind::kPad;
    if (input.size + byte_delta <= kMaxSilenceBytes) {
        action.ends_start = true;
        action.bytes = static_cast<int>(byte_delta);
        return action;
    }
    // Whole sample frames only, and never a negative amount when the audio alone is larger.
    const int frame_bytes = 2 * input.decoder_channels;
    const int room = std::max(0, kMaxSilenceBytes - input.size);
    action.bytes = room / frame_bytes * frame_bytes;
    return action;
}

}  // namespace

TAudioSyncAction decide_audio_sync(const TAudioSyncInput& input) {
    const double delta = input.input_time * input.encoder_rate - static_cast<double>(input.sync_pts) -
                         static_cast<double>(input.buffered);
    const double input_delta = delta * input.decoder_rate / input.encoder_rate;
    const std::int64_t byte_delta = static_cast<std::int64_t>(std::trunc(input_delta)) * 2 * input.decoder_channels;
    TAudioSyncAction action;
    action.delta = delta;
    if (std::fabs(delta) <= kSyncToleranceSamples) return action;
    if (input.at_start || std::fabs(delta) > input.drift_threshold * input.encoder_rate)
        return cut_or_pad(input, delta, byte_delta);
    if (input.method > 1) {
        action.kind = TAudioSyncKind::kCompensate;
        action.compensation = static_cast<int>(std::clamp<double>(std::trunc(delta), -input.method, input.method));
    }
    return action;
}

}  // namespace brenvale
