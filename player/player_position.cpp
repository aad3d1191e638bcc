// Position tracking, pausing and seeking of the player.
#include "player/player_position.h"

#include <algorithm>
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

std::int64_t Microseconds(double seconds) { return player::RoundHalfEven(seconds * 1000000.0); }

// The playing position from the video clock, else the audio clock; kNoTime without either.
std::int64_t ClockPosition(const player::StreamState& is) {
    if (player::SeekUnderWay(is)) return is.seek_shown_position;
    if (is.has_video) return Microseconds(player::VideoClock(is)) - is.start_time;
    if (!is.has_audio) return kNoTime;
    std::int64_t position = Microseconds(player::AudioClock(is)) - is.start_time;
    const std::int64_t audio_duration = is.audio_duration;
    if (audio_duration > 0 && position >= audio_duration && is.duration > position) position = is.duration;
    return position;
}

// Everything of the input has been played: the last picture shown, the last sample heard.
bool PlaybackEnded(player::StreamState& is) {
    if (!is.input_ended || is.capture_device) return false;
    if (is.videoq.Count() > 0 || is.audioq.Count() > 0) return false;
    if (is.has_audio && !is.audio_done) return false;
    if (!is.has_video) return true;
    if (!is.video_done) return false;
    const std::lock_guard<std::mutex> lock(is.picture_mutex);
    return is.pictq_size == 0;
}

}  // namespace

void TCustomPlayer::TrackPosition(player::StreamState& is) {
    // After a close was asked for, the settings already belong to the next file.
    if (is.image_sequence || is.close_requested) return;
    const bool ended = PlaybackEnded(is);
    std::int64_t position = ClockPosition(is);
    if (position == kNoTime) return;
    current_position_ = position;
    // Everything played: the end is reported before the end of playback is.
    if (is.duration > 0 && (position >= is.duration || ended)) {
        position = is.duration;
        if (position_ != position) position_ = 0;
    }
    const std::int64_t reported = position_;
    if (reported == kNoTime || std::llabs(position - reported) > kPositionStepUs) {
        position_ = position;
        if (OnPosition && events_enabled_) RunOnMainThread([&] { OnPosition(*this, position); });
    }
    if (ended) RaiseState(TPlayState::psEnd);
    const std::int64_t start = StartTime;
    const std::int64_t end = player::PlayWindowEnd(start, PlayLength);
    if (end == kNoTime || position < end) return;
    const int action = EndAction;
    if (action == 1) {
        Close(false);
    } else if (action == 2) {
        Seek(start != kNoTime ? start : 0);
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
    reading.pictures_shown = is->pictures_shown;
    reading.samples_played = is->samples_played;
    return reading;
}

void TCustomPlayer::TogglePause() {
    const std::shared_ptr<player::StreamState> is = Current();
    if (!is) return;
    // The decoding thread may wait for a hand-off while it serves the seek; a closing file
    // serves none.
    const auto closing = [&is] { return is->close_requested || is->abort_request; };
    WaitServingMainThread([&] { return !is->seek_request || closing(); });
    if (closing()) return;
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
    if (!is || is->close_requested) return;
    const std::int64_t target = player::SeekTarget(std::max<std::int64_t>(APTS, 0), is->container_duration,
                                                   is->container_start);
    const std::int64_t shown = SeekByBytes ? current_position_.load() : target - is->start_time;
    player::RequestSeek(*is, target, shown, SeekByBytes);
}

}  // namespace brenvale
