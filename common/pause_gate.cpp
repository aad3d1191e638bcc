#include "common/pause_gate.h"

namespace brenvale {

void PauseGate::Pause() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!stopped_) paused_ = true;
}

void PauseGate::Resume() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        paused_ = false;
    }
    opened_.notify_all();
}

void PauseGate::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        paused_ = false;
    }
    opened_.notify_all();
}

void PauseGate::Reset() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = false;
        paused_ = false;
    }
    opened_.notify_all();
}

bool PauseGate::IsPaused() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return paused_;
}

void PauseGate::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    opened_.wait(lock, [this] { return !paused_; });
}

}  // namespace brenvale
