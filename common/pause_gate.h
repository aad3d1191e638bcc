// Pause and resume of a worker loop: the loop waits at the gate at each iteration.
// A stop opens the gate for good (until Reset), so a paused job can always stop.
// Thread-safe.
#pragma once

#include <condition_variable>
#include <mutex>

namespace brenvale {

class PauseGate {
public:
    void Pause();   // ignored once stopped
    void Resume();
    void Stop();
    void Reset();   // open and not stopped again, for the next run
    bool IsPaused() const;
    // Blocks the calling thread while the gate is paused.
    void Wait();

private:
    mutable std::mutex mutex_;
    std::condition_variable opened_;
    bool paused_ = false;   // guarded by mutex_
    bool stopped_ = false;  // guarded by mutex_
};

}  // namespace brenvale
