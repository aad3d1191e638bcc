// Position tracking, pausing and seeking of the player.
#include "player/player_position.h"

#include <chrono>
#include <cstdlib>

#include "common/main_thread.h"
#include "player/clocks.h"
#include "player/decode_thread.h"
#include "player/ff_player.h"
#include "player/stream_state.h"

namespace brenvale {
namespace player {

std::int64_t SeekTarget(std::int64_t pts, std::int64_t container_duration, std::int64_t container_start) {
    std::int64_t target = pts;
    if (container_duration != kNoTime && target > container_duration) target = container_duration;
    if (container_start != kNoTime) target += container_start;
    return target;
}

std::int64_t PlayWindowEnd(std::int64_t start_time, std::int64_t play_length) {
    if (play_length == kNoTime) return kNoTime;
    return start_time != kNoTime ? start_time + play_length : play_length;
}

}  // namespace player

namespace {

constexpr std::int64_t kPositionStepUs = 10000;
constexpr auto kSeekPendingPoll = std::chrono::milliseconds(10);

std::int64_t Microseconds(double seconds) { return player::RoundHalfEven(seconds * 1000000.0); }

// The playing position from the video clock, else the audio clock; kNoTime without either.
std::int64_t ClockPosition(const player::StreamState& is) {
    if (is.video_st) return Microseconds(player::VideoClock(is)) - is.start_time;
    if (!is.audio_st) return kNoTime;
    std::int64_t position = Microseconds(player::AudioClock(is)) - is.start_time;
    const std::int64_t audio_duration = is.audio_duration;
    if (audio_duration > 0 && position >= audio_duration && is.duration > position) position = is.duration;
    return position;
}

}  // namespace

void TCustomPlayer::TrackPosition(player::StreamState& is) {
    if (is.image_sequence) return;
    std::int64_t position = ClockPosition(is);
    if (position == kNoTime) return;
    current_position_ = position;
    if (is.duration > 0 && position >= is.duration) {
        position = is.duration;
        if (position_ != position) position_ = 0;
    }
    const std::int64_t reported = position_;
    if (reported == kNoTime || std::llabs(position - reported) > kPositionStepUs) {
        position_ = position;
        if (OnPosition && events_enabled_) RunOnMainThread([&] { OnPosition(*this, position); });
    }
    if (is.videoq.Count() == 0 && is.audioq.Count() == 0 && !is.capture_device) RaiseState(TPlayState::psEnd);
    const std::int64_t end = player::PlayWindowEnd(StartTime, PlayLength);
    if (end == kNoTime || position < end) return;
    if (EndAction == 1) {
        Close(false);
    } else if (EndAction == 2) {
        Seek(StartTime != kNoTime ? StartTime : 0);
    }
}

TClockReading TCustomPlayer::ReadClocks() const {
    const std::shared_ptr<player::StreamState> is = Current();
    TClockReading reading;
    if (!is) return reading;
    reading.playing = true;
    reading.has_audio = is->has_audio;
    reading.has_video = is->has_video;
    reading.audio = player::AudioClock(*is);
    reading.video = player::VideoClock(*is);
    reading.last_frame_delay = is->last_frame_delay_seen;
    return reading;
}

void TCustomPlayer::TogglePause() {
    const std::shared_ptr<player::StreamState> is = Current();
    if (!is) return;
    while (is->seek_request) std::this_thread::sleep_for(kSeekPendingPoll);
    if (is->paused) {
        // The time spent paused counts neither for the frame timer nor for the video clock.
        const std::int64_t now = ff::av_gettime();
        is->frame_timer = is->frame_timer + static_cast<double>(now - is->video_current_pts_time) / 1000000.0;
        is->video_current_pts = player::VideoClock(*is);
        is->video_current_pts_time = now;
    }
    is->paused = !is->paused;
    StepMode = false;
    RaiseState(is->paused ? TPlayState::psPause : TPlayState::psResume);
}

void TCustomPlayer::Seek(std::int64_t APTS) {
    const std::shared_ptr<player::StreamState> is = Current();
    if (!is) return;
    const std::int64_t target = player::SeekTarget(APTS, is->container_duration, is->container_start);
    player::RequestSeek(*is, target, false, SeekByBytes);
}

}  // namespace brenvale
