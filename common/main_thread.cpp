#include "common/main_thread.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <thread>
#include <utility>

#include "common/thread_priority.h"

namespace brenvale {
namespace {

// Short enough for a responsive wait, long enough not to spin.
constexpr std::chrono::milliseconds kPollInterval{5};

struct PendingCall {
    const std::function<void()>* call = nullptr;
    bool done = false;
    std::exception_ptr error;
};

class Dispatcher {
public:
    void Register() { main_thread_id_.store(CurrentThreadId()); }

    bool IsMain() const {
        const std::uint32_t registered = main_thread_id_.load();
        const std::uint32_t current = CurrentThreadId();
        return registered != 0 ? current == registered : current == static_cast<std::uint32_t>(::getpid());
    }

    void SetWakeUp(std::function<void()> wake_up) {
        std::lock_guard<std::mutex> lock(mutex_);
        wake_up_ = std::move(wake_up);
    }

    void Run(const std::function<void()>& call) {
        if (IsMain()) {
            call();
            return;
        }
        PendingCall pending;
        pending.call = &call;
        std::function<void()> wake_up;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(&pending);
            wake_up = wake_up_;
        }
        changed_.notify_all();
        if (wake_up) wake_up();
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&pending] { return pending.done; });
        if (pending.error) std::rethrow_exception(pending.error);
    }

    int Serve() {
        int served = 0;
        while (PendingCall* pending = Next()) {
            try {
                (*pending->call)();
            } catch (...) {
                pending->error = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                pending->done = true;
            }
            changed_.notify_all();
            ++served;
        }
        return served;
    }

    // Sleeps until a call is queued or the interval passes.
    void AwaitCall(std::chrono::milliseconds interval) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, interval, [this] { return !queue_.empty(); });
    }

private:
    PendingCall* Next() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.empty()) return nullptr;
        PendingCall* pending = queue_.front();
        queue_.pop_front();
        return pending;
    }

    std::atomic<std::uint32_t> main_thread_id_{0};  // 0: the initial thread
    std::mutex mutex_;
    std::condition_variable changed_;   // a call was queued or one was done
    std::deque<PendingCall*> queue_;    // guarded by mutex_
    std::function<void()> wake_up_;     // guarded by mutex_
};

// Never destroyed: detached workers may still wait on it while the process exits.
Dispatcher& TheDispatcher() {
    static Dispatcher* dispatcher = new Dispatcher;
    return *dispatcher;
}

}  // namespace

void RegisterMainThread() { TheDispatcher().Register(); }

bool IsMainThread() { return TheDispatcher().IsMain(); }

void RunOnMainThread(const std::function<void()>& call) { TheDispatcher().Run(call); }

int ServeMainThreadCalls() { return IsMainThread() ? TheDispatcher().Serve() : 0; }

void SetMainThreadWakeUp(std::function<void()> wake_up) { TheDispatcher().SetWakeUp(std::move(wake_up)); }

bool WaitServingMainThread(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const bool forever = timeout == kWaitForever;
    const Clock::time_point deadline = forever ? Clock::time_point::max() : Clock::now() + timeout;
    const bool serve = IsMainThread();
    for (;;) {
        if (serve) TheDispatcher().Serve();
        if (done()) return true;
        std::chrono::milliseconds interval = kPollInterval;
        if (!forever) {
            const Clock::time_point now = Clock::now();
            if (now >= deadline) return false;
            interval = std::min(interval, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
        }
        if (serve) {
            TheDispatcher().AwaitCall(interval);
        } else {
            std::this_thread::sleep_for(interval);
        }
    }
}

}  // namespace brenvale
