#include "player/clocks.h"

#include <algorithm>
#include <cmath>

#include "player/stream_state.h"

namespace brenvale::player {

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

// What is heard now: the sound the last callback handed over plays from its start for as long
// as it lasts (the device's buffer), so the clock neither runs a buffer ahead nor stands still
// between callbacks.
double AudioClock(const StreamState& is) {
    AudioPlayed played;
    {
        const std::lock_guard<std::mutex> lock(is.audio_clock_mutex);
        played = is.audio_played;
    }
    if (!played.valid) return is.audio_clock.load(std::memory_order_relaxed);
    const double elapsed = static_cast<double>(ff::av_gettime() - played.at_us) / 1000000.0;
    return played.start + std::clamp(elapsed, 0.0, played.length);
}

double VideoClock(const StreamState& is) {
    const double pts = is.video_current_pts.load();
    if (is.paused) return pts;
    return pts + static_cast<double>(ff::av_gettime() - is.video_current_pts_time.load()) / 1000000.0;
}

double ExternalClock(const StreamState& is, std::int64_t now_us) {
    return is.external_clock.load() + static_cast<double>(now_us - is.external_clock_time.load()) * 0.000001;
}

double MasterClock(const StreamState& is) {
    switch (static_cast<SyncType>(is.settings.sync_type)) {
    case SyncType::Video:
        return is.has_video ? VideoClock(is) : AudioClock(is);
    case SyncType::Audio:
        return is.has_audio ? AudioClock(is) : VideoClock(is);
    default:
        return ExternalClock(is, ff::av_gettime());
    }
}

double NominalFrameDelay(FrameDelayState& state, double pts, bool synchronise, double diff) {
    double delay = pts - state.last_pts;
    if (delay <= 0 || delay >= kMaxFrameDelay) {
        delay = state.last_delay;
    } else {
        state.last_delay = delay;
    }
    state.last_pts = pts;
    if (synchronise && std::fabs(diff) < kNoSyncThreshold) {
        const double threshold = std::max(delay, kSyncThreshold);
        if (diff <= -threshold) {
            delay = 0;
        } else if (diff >= threshold) {
            delay = 2 * delay;
        }
    }
    return delay;
}

void RestartFrameTimer(StreamState& is, double pts) {
    is.frame_timer = static_cast<double>(ff::av_gettime()) / 1000000.0;
    is.frame_last_pts = pts;
}

double ComputeTargetDelay(StreamState& is, double pts) {
    // Until the sound of a seek plays, the audio clock still tells the time before it.
    const bool audio_master = is.settings.sync_type == static_cast<int>(SyncType::Audio) && is.has_audio &&
                              is.audio_serial == is.serial;
    const bool synchronise = audio_master || is.settings.sync_type == static_cast<int>(SyncType::External);
    const double diff = synchronise ? pts - MasterClock(is) : 0;
    FrameDelayState state{is.frame_last_pts, is.frame_last_delay};
    const double delay = NominalFrameDelay(state, pts, synchronise, diff);
    is.frame_last_pts = state.last_pts;
    is.frame_last_delay = state.last_delay;
    is.last_frame_delay_seen.store(delay, std::memory_order_relaxed);
    const double timer = is.frame_timer.load() + delay;
    is.frame_timer.store(timer);
    const double actual = timer - static_cast<double>(ff::av_gettime()) / 1000000.0;
    return std::max(actual, kSyncThreshold);
}

}  // namespace brenvale::player
