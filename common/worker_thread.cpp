#include "common/worker_thread.h"

#include <thread>
#include <utility>

namespace brenvale {

WorkerThread::WorkerThread(TThreadPriority priority) {
    std::promise<std::uint32_t> id;
    std::future<std::uint32_t> known = id.get_future();
    std::thread([this, priority, id = std::move(id)]() mutable { Main(priority, std::move(id)); })
        .detach();
    thread_id_ = known.get();
}

void WorkerThread::Resume() {
    // Notified under the lock: once it is released the thread may run and delete this object.
    std::lock_guard<std::mutex> lock(mutex_);
    resumed_ = true;
    resumed_changed_.notify_one();
}

void WorkerThread::Main(TThreadPriority priority, std::promise<std::uint32_t> id) {
    const std::uint32_t thread_id = CurrentThreadId();
    SetThreadPriority(thread_id, priority);
    id.set_value(thread_id);
    {
        std::unique_lock<std::mutex> lock(mutex_);
        resumed_changed_.wait(lock, [this] { return resumed_; });
    }
    Execute();
    delete this;
}

}  // namespace brenvale
