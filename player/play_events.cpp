#include "player/play_events.h"

#include <algorithm>

namespace brenvale::player {
namespace {

constexpr std::chrono::milliseconds kPumpInterval{10};

}  // namespace

void PlayEvents::Push(PlayEvent event) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(event);
    }
    cond_.notify_one();
}

void PlayEvents::ScheduleRefresh(int delay_ms) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        refresh_at_ = Clock::now() + std::chrono::milliseconds(std::max(delay_ms, 1));
    }
    cond_.notify_one();
}

PlayEvent PlayEvents::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!events_.empty()) {
            const PlayEvent event = events_.front();
            events_.pop_front();
            return event;
        }
        const Clock::time_point now = Clock::now();
        if (refresh_at_ && *refresh_at_ <= now) {
            refresh_at_.reset();
            return PlayEvent{PlayEventKind::Refresh};
        }
        if (pump_) {
            const Pump pump = pump_;
            lock.unlock();
            const std::optional<PlayEvent> event = pump();
            lock.lock();
            if (event) return *event;
        }
        Clock::time_point until = refresh_at_.value_or(Clock::time_point::max());
        if (pump_) until = std::min(until, now + kPumpInterval);
        if (until == Clock::time_point::max()) {
            cond_.wait(lock);
        } else {
            cond_.wait_until(lock, until);
        }
    }
}

void PlayEvents::Reset(Pump pump) {
    const std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
    refresh_at_.reset();
    pump_ = std::move(pump);
}

}  // namespace brenvale::player
