// The frame-rate sync decision of a video output: how many times the picture in hand is
// written (0 drops it, more than 1 duplicates it) and where the output position moves.
#pragma once

#include <cstdint>

namespace brenvale {

struct TVideoSyncInput {
    int method = -1;               // video_sync_method: -1 auto, 0 off, 1 constant rate, 2 variable
    double encoder_time_base = 0;  // seconds per frame
    bool variable_frame_rate_format = false;
    double input_frames = 0;    // input time in frames of the encoder
    std::int64_t sync_pts = 0;  // frames written so far
};

struct TVideoSyncDecision {
    int copies = 1;             // pictures written for this one, `held` included
    int held = 0;               // of them, the first ones are the previous picture, still showing
    std::int64_t sync_pts = 0;  // the position to encode the first copy at
};

// Each picture goes to the frame nearest its time, and a picture whose frame is already written
// is dropped. At a constant rate the frames before it keep showing the previous picture; in
// containers that store times the output skips them.
TVideoSyncDecision decide_video_sync(const TVideoSyncInput& input);

}  // namespace brenvale
