// The play thread's event queue: events pushed by the player and its pipeline, the refresh
// timer, and the events of the player's own SDL window.
//
// It is per player rather than SDL's process-wide queue, so two players never take each
// other's events and no stale event of a closed file reaches the next one. Every member is
// guarded by mutex_; Wait runs on the play thread only.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace brenvale::player {

enum class PlayEventKind {
    SdlQuit,       // the own window was closed
    Resize,        // width, height
    Expose,
    AllocPicture,
    Refresh,
    Quit,
    Relayout,
};

struct PlayEvent {
    PlayEventKind kind = PlayEventKind::Refresh;
    int width = 0;
    int height = 0;
};

class PlayEvents {
public:
    using Clock = std::chrono::steady_clock;
    // Polled while waiting when set; returns an event of the own window, if any.
    using Pump = std::function<std::optional<PlayEvent>()>;

    void Push(PlayEvent event);
    void Push(PlayEventKind kind) { Push(PlayEvent{kind}); }
    // The refresh event arrives after `delay_ms` (0 counts as 1 ms); replaces a pending one.
    void ScheduleRefresh(int delay_ms);
    PlayEvent Wait();
    // Drops every event and the timer, for the next file; installs the pump.
    void Reset(Pump pump);

private:
    std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<PlayEvent> events_;
    std::optional<Clock::time_point> refresh_at_;
    Pump pump_;
};

}  // namespace brenvale::player
