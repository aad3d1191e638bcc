// The audio, video, external and master clocks and the frame delay that keeps pictures in
// step with the master clock. Times are seconds; wall clocks are microseconds.
#pragma once

#include <cstdint>

namespace brenvale::player {

struct StreamState;

inline constexpr double kSyncThreshold = 0.01;
inline constexpr double kNoSyncThreshold = 10.0;
inline constexpr double kMaxFrameDelay = 2.0;
inline constexpr double kInitialFrameDelay = 0.04;

double AudioClock(const StreamState& is);
double VideoClock(const StreamState& is);
double ExternalClock(const StreamState& is, std::int64_t now_us);
double MasterClock(const StreamState& is);

// The delay state of the picture sequence (play thread).
struct FrameDelayState {
    double last_pts = 0;
    double last_delay = kInitialFrameDelay;
};

// Step 1 and 2 of the frame delay: the nominal delay since the last picture, doubled or
// dropped when the picture is ahead of or behind the master clock by more than it.
// `diff` is the picture time minus the master clock; `synchronise` says whether the video
// follows another clock at all.
double NominalFrameDelay(FrameDelayState& state, double pts, bool synchronise, double diff);

// The first picture after opening or a seek: the frame timer starts from now.
void RestartFrameTimer(StreamState& is, double pts);

// The wait before the picture of time `pts` is shown (seconds, at least 0.01); advances
// the frame timer.
double ComputeTargetDelay(StreamState& is, double pts);

// Rounds to the nearest integer, halves to even.
std::int64_t RoundHalfEven(double value);

}  // namespace brenvale::player
