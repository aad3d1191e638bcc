#include "common/worker_thread.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/main_thread.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;

struct Observed {
    std::atomic<bool> executed{false};
    std::atomic<bool> deleted{false};
    std::atomic<std::uint32_t> thread_id{0};
    std::atomic<int> policy{-1};
    std::atomic<int> nice{0};
};

class ObservingThread : public WorkerThread {
public:
    static ObservingThread* Create(Observed& observed, TThreadPriority priority) {
        return new ObservingThread(observed, priority);
    }
    ~ObservingThread() override { observed_.deleted = true; }

private:
    ObservingThread(Observed& observed, TThreadPriority priority) : WorkerThread(priority), observed_(observed) {}
    void Execute() override {
        observed_.thread_id = CurrentThreadId();
        observed_.policy = ::sched_getscheduler(0);
        observed_.nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId()));
        observed_.executed = true;
    }

    Observed& observed_;
};

TEST(WorkerThreadTest, RunsAfterResumeUnderItsIdWithItsPriorityAndDeletesItself) {
    const int inherited = ::getpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId()));
    for (TThreadPriority priority :
         {TThreadPriority::tpIdle, TThreadPriority::tpLowest, TThreadPriority::tpLower, TThreadPriority::tpNormal,
          TThreadPriority::tpHigher, TThreadPriority::tpTimeCritical}) {
        Observed observed;
        ObservingThread* thread = ObservingThread::Create(observed, priority);
        const std::uint32_t id = thread->ThreadID();
        std::this_thread::sleep_for(10ms);
        EXPECT_FALSE(observed.executed) << "runs before Resume";
        thread->Resume();
        ASSERT_TRUE(WaitServingMainThread([&] { return observed.deleted.load(); }, 30s));
        EXPECT_TRUE(observed.executed);
        EXPECT_EQ(observed.thread_id, id);
        const int requested = NiceValue(priority);
        SCOPED_TRACE(requested);
        if (priority == TThreadPriority::tpIdle) {
            EXPECT_EQ(observed.policy, SCHED_IDLE);
            continue;
        }
        EXPECT_EQ(observed.policy, SCHED_OTHER);
        if (requested >= inherited) {
            EXPECT_EQ(observed.nice, requested);
        } else {
            // Raising needs privileges: either granted, or ignored and the thread keeps its value.
            EXPECT_TRUE(observed.nice == requested || observed.nice == inherited) << observed.nice;
        }
    }
}

}  // namespace
}  // namespace brenvale
