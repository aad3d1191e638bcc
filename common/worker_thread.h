// A worker thread created suspended, as the window framework creates its threads: the system
// thread exists at once, so its id can be recorded before it runs, and starts Execute only on
// Resume. When Execute returns the object deletes itself, so after Resume its creator must
// not touch it again.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>

#include "common/thread_priority.h"

namespace brenvale {

class WorkerThread {
public:
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    virtual ~WorkerThread() = default;

    std::uint32_t ThreadID() const { return thread_id_; }
    // Lets Execute start. Call it once.
    void Resume();

protected:
    // Returns once the thread runs with the given priority and its id is known.
    explicit WorkerThread(TThreadPriority priority);
    virtual void Execute() = 0;

private:
    void Main(TThreadPriority priority, std::promise<std::uint32_t> id);

    std::uint32_t thread_id_ = 0;
    std::mutex mutex_;
    std::condition_variable resumed_changed_;
    bool resumed_ = false;  // guarded by mutex_
};

}  // namespace brenvale
