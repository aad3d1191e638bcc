// Hand-off to the main thread. Any thread can run a call on the main thread and wait for it;
// the main thread serves the queued calls from its event loop (woken through the wake-up
// hook) and whenever it waits through WaitServingMainThread. Without an event loop (tests,
// command line) those waits are where calls get served.
//
// Deadlocks are avoided by never letting the main thread block plainly while a worker may
// be waiting for it: every wait and lock of the main thread that a worker can hold up goes
// through the helpers below.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>

namespace brenvale {

// The main thread is the process's initial thread unless another thread registers itself.
void RegisterMainThread();
bool IsMainThread();

// Runs `call` on the main thread and returns once it has run: at once when called on the
// main thread, otherwise queued while the caller blocks. An exception thrown by `call` is
// rethrown in the caller.
void RunOnMainThread(const std::function<void()>& call);

// Main thread only: runs every call queued so far; returns how many ran.
int ServeMainThreadCalls();

// Called on the queuing thread after each queued call, so an event loop can wake up and
// serve. It must not block or run the call itself. Empty: no hook.
void SetMainThreadWakeUp(std::function<void()> wake_up);

inline constexpr std::chrono::milliseconds kWaitForever = std::chrono::milliseconds::max();

// Waits until `done` returns true or the timeout passes; on the main thread, serves queued
// calls meanwhile. `done` is polled, so it needs no notification. False on timeout.
bool WaitServingMainThread(const std::function<bool()>& done,
                           std::chrono::milliseconds timeout = kWaitForever);

// Locks a mutex that a worker may hold while it waits for the main thread (the preview
// lock): on the main thread, queued calls are served until the lock is free.
template <class Mutex>
std::unique_lock<Mutex> LockServingMainThread(Mutex& mutex) {
    std::unique_lock<Mutex> lock(mutex, std::defer_lock);
    if (!IsMainThread()) {
        lock.lock();
        return lock;
    }
    WaitServingMainThread([&lock] { return lock.try_lock(); });
    return lock;
}

}  // namespace brenvale
