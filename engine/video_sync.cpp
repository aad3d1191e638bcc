#include "engine/video_sync.h"

#include <cmath>

namespace brenvale {
namespace {

bool sync_enabled(const TVideoSyncInput& input) {
    return input.method > 0 || (input.method < 0 && input.encoder_time_base > 0.001);
}

bool variable_rate(const TVideoSyncInput& input) {
    return input.method == 2 || (input.method < 0 && input.variable_frame_rate_format);
}

}  // namespace

TVideoSyncDecision decide_video_sync(const TVideoSyncInput& input) {
    TVideoSyncDecision decision{1, input.sync_pts};
    if (!sync_enabled(input)) {
        decision.sync_pts = std::llround(input.input_frames);
        return decision;
    }
    const double delta = input.input_frames - static_cast<double>(input.sync_pts);
    if (delta < -1.1) {
        decision.copies = 0;
    } else if (variable_rate(input)) {
        if (delta <= -0.6)
            decision.copies = 0;
        else if (delta > 0.6)
            decision.sync_pts = std::llround(input.input_frames);
    } else if (delta > 1.1) {
        decision.copies = static_cast<int>(std::lround(delta));
    }
    return decision;
}

}  // namespace brenvale
