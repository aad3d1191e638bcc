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

constexpr int kNoPictureRefreshMs = 1;
constexpr int kWaveformRefreshMs = 40;
constexpr int kIdleRefreshMs = 100;

// Shows the queued picture when it is due; false when nothing was shown.
void RefreshVideo(player::StreamState& is, player::PlayEvents& events, player::Display& display) {
    int count = 0;
    double pts = 0;
    {
        const std::lock_guard<std::mutex> lock(is.picture_mutex);
        count = is.pictq_size;
        pts = is.picture.pts;
    }
    if (count == 0) {
        events.ScheduleRefresh(kNoPictureRefreshMs);
        return;
    }
    const double delay = player::ComputeTargetDelay(is, pts);
    is.video_current_pts = pts;
    is.video_current_pts_time = ff::av_gettime();
    events.ScheduleRefresh(static_cast<int>(player::RoundHalfEven(delay * 1000 + 0.5)));
    player::RetireSubpictures(is, pts);
    display.Show(is);
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
    if (is.video_st) {
        RefreshVideo(is, events_, *display_);
    } else if (is.audio_st) {
        events_.ScheduleRefresh(kWaveformRefreshMs);
        display_->Show(is);
    } else {
        events_.ScheduleRefresh(kIdleRefreshMs);
        return;
    }
    TrackPosition(is);
}

}  // namespace brenvale
