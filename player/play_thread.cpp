// The play thread: its body, the event loop and the display refresh.
#include <cmath>

#include "player/clocks.h"
#include "player/display.h"
#include "player/ff_player.h"
#include "player/stream_state.h"
#include "player/subtitles.h"
#include "player/video_thread.h"

namespace brenvale {
namespace {

constexpr int kWaveformRefreshMs = 40;
constexpr int kIdleRefreshMs = 100;
// Without a queued picture the video thread wakes the play thread when it queues one; these
// refreshes only keep the position and the end of playback tracked meanwhile.
constexpr int kPictureWaitRefreshMs = 100;
constexpr int kEndedRefreshMs = 40;

struct QueuedPicture {
    bool present = false;
    double pts = 0;
    int serial = 0;
};

// The queued picture; without one the next refresh waits for it (or for the end to be seen).
QueuedPicture TakeQueuedPicture(player::StreamState& is, player::PlayEvents& events) {
    const std::lock_guard<std::mutex> lock(is.picture_mutex);
    if (is.pictq_size > 0) return QueuedPicture{true, is.picture.pts, is.picture.serial};
    const bool more_to_come = !is.video_done;
    is.refresh_waiting = more_to_come;
    // Under the lock: a wake-up the video thread gives later must not be replaced by this.
    events.ScheduleRefresh(more_to_come ? kPictureWaitRefreshMs : kEndedRefreshMs);
    return {};
}

// Shows the queued picture when it is due. A picture decoded before the last seek is dropped;
// the first after it starts the frame timer afresh.
void RefreshVideo(player::StreamState& is, player::PlayEvents& events, player::Display& display) {
    const QueuedPicture picture = TakeQueuedPicture(is, events);
    if (!picture.present) return;
    if (picture.serial != is.serial) {
        player::ReleasePicture(is);
        events.ScheduleRefresh(0);
        return;
    }
    if (picture.serial != is.shown_serial) player::RestartFrameTimer(is, picture.pts);
    const double delay = player::ComputeTargetDelay(is, picture.pts);
    is.video_current_pts = picture.pts;
    is.video_current_pts_time = ff::av_gettime();
    events.ScheduleRefresh(static_cast<int>(player::RoundHalfEven(delay * 1000 + 0.5)));
    player::RetireSubpictures(is, picture.pts);
    display.Show(is);
    is.shown_serial = picture.serial;
    ++is.pictures_shown;
    player::ReleasePicture(is);
}

}  // namespace

void TCustomPlayer::PlayThreadBody() {
    RaiseState(TPlayState::psPlay);
    EventLoop();
    RaiseState(TPlayState::psStop);
    play_thread_done_ = true;
}

void TCustomPlayer::EventLoop() {
    using player::PlayEventKind;
    for (;;) {
        const player::PlayEvent event = events_.Wait();
        const std::shared_ptr<player::StreamState> is = Current();
        if (!is) {
            StopSdl();
            return;
        }
        switch (event.kind) {
        case PlayEventKind::SdlQuit:
            RequestClose(*is);
            CloseCurrentStream();
            return;
        case PlayEventKind::Quit:
            CloseCurrentStream();
            return;
        case PlayEventKind::Resize:
            display_->Resize(*is, event.width, event.height);
            display_->Show(*is);
            break;
        case PlayEventKind::Expose:
            display_->Show(*is);
            break;
        case PlayEventKind::AllocPicture:
            display_->OpenVideoWindow(*is);
            player::AllocatePicture(*is);
            break;
        case PlayEventKind::Refresh:
            Refresh(*is);
            break;
        case PlayEventKind::Relayout:
            display_->OpenVideoWindow(*is);
            display_->Show(*is);
            break;
        }
    }
}

void TCustomPlayer::Refresh(player::StreamState& is) {
    if (is.has_video) {
        RefreshVideo(is, events_, *display_);
    } else if (is.has_audio) {
        events_.ScheduleRefresh(kWaveformRefreshMs);
        display_->Show(is);
    } else {
        events_.ScheduleRefresh(kIdleRefreshMs);
        return;
    }
    TrackPosition(is);
}

}  // namespace brenvale
