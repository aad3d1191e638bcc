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
    TVideoSyncDecision decision{1, 0, input.sync_pts};
    if (!sync_enabled(input)) {
        decision.sync_pts = std::llround(input.input_frames);
        return decision;
    }
    const std::int64_t frame = std::llround(input.input_frames);
    if (frame < input.sync_pts) {
        decision.copies = 0;
    } else if (variable_rate(input)) {
        decision.sync_pts = frame;
    } else {
        decision.held = static_cast<int>(frame - input.sync_pts);
        decision.copies = decision.held + 1;
    }
    return decision;
}

}  // namespace brenvale
