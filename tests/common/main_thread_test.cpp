#include "common/main_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/thread_priority.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;

class MainThreadTest : public ::testing::Test {
protected:
    void TearDown() override { SetMainThreadWakeUp(nullptr); }
};

TEST_F(MainThreadTest, ACallMadeOnTheMainThreadRunsAtOnce) {
    ASSERT_TRUE(IsMainThread());
    bool ran = false;
    RunOnMainThread([&ran] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(ServeMainThreadCalls(), 0);
}

TEST_F(MainThreadTest, WorkersWaitUntilTheWaitingMainThreadHasRunTheirCalls) {
    constexpr int kWorkers = 4;
    constexpr int kCallsEach = 25;
    const std::uint32_t main_id = CurrentThreadId();
    int calls_run = 0;  // touched on the main thread only
    std::atomic<int> workers_done{0};
    std::atomic<int> wrong_thread{0};
    std::atomic<int> not_waited{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&] {
            for (int i = 0; i < kCallsEach; ++i) {
                bool ran = false;
                RunOnMainThread([&] {
                    if (CurrentThreadId() != main_id || !IsMainThread()) ++wrong_thread;
                    ++calls_run;
                    ran = true;
                });
                if (!ran) ++not_waited;
            }
            ++workers_done;
        });
    }
    EXPECT_TRUE(WaitServingMainThread([&] { return workers_done == kWorkers; }, 20s));
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(calls_run, kWorkers * kCallsEach);
    EXPECT_EQ(wrong_thread, 0);
    EXPECT_EQ(not_waited, 0);
}

TEST_F(MainThreadTest, AnExceptionOfTheCallReachesTheWaitingWorker) {
    std::atomic<bool> done{false};
    std::string caught;
    std::thread worker([&] {
        try {
            RunOnMainThread([] { throw std::runtime_error("drawing failed"); });
        } catch (const std::runtime_error& error) {
            caught = error.what();
        }
        done = true;
    });
    EXPECT_TRUE(WaitServingMainThread([&] { return done.load(); }, 10s));
    worker.join();
    EXPECT_EQ(caught, "drawing failed");
}

TEST_F(MainThreadTest, TheWakeUpHookLetsAnEventLoopServe) {
    // A stand-in event loop: the hook only posts, the loop serves.
    std::mutex mutex;
    std::condition_variable posted;
    int wake_ups = 0;
    SetMainThreadWakeUp([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++wake_ups;
        posted.notify_one();
    });
    std::atomic<bool> done{false};
    std::thread worker([&] {
        RunOnMainThread([] {});
        RunOnMainThread([] {});
        done = true;
    });
    int served = 0;
    while (served < 2) {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(posted.wait_for(lock, 10s, [&] { return wake_ups > served; }));
        lock.unlock();
        served += ServeMainThreadCalls();
    }
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(wake_ups, 2);
}

TEST_F(MainThreadTest, LockingAMutexAWaitingWorkerHoldsDoesNotDeadlock) {
    std::mutex preview_lock;
    std::atomic<bool> holding{false};
    std::atomic<bool> delivered{false};
    std::thread worker([&] {
        const std::lock_guard<std::mutex> lock(preview_lock);
        holding = true;
        RunOnMainThread([&] { delivered = true; });
    });
    while (!holding) std::this_thread::yield();
    {
        const std::unique_lock<std::mutex> lock = LockServingMainThread(preview_lock);
        EXPECT_TRUE(lock.owns_lock());
        EXPECT_TRUE(delivered);
    }
    worker.join();
}

TEST_F(MainThreadTest, AWaitGivesUpAtItsTimeout) {
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitServingMainThread([] { return false; }, 50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - begin, 50ms);
}

TEST_F(MainThreadTest, ARegisteredThreadBecomesTheMainThread) {
    std::atomic<bool> registered{false};
    std::atomic<bool> release{false};
    std::atomic<bool> main_there{false};
    std::atomic<std::uint32_t> other_id{0};
    std::thread other([&] {
        other_id = CurrentThreadId();
        RegisterMainThread();
        main_there = IsMainThread();
        registered = true;
        WaitServingMainThread([&] { return release.load(); });
    });
    while (!registered) std::this_thread::yield();
    EXPECT_TRUE(main_there);
    EXPECT_FALSE(IsMainThread());
    std::uint32_t ran_on = 0;
    RunOnMainThread([&] { ran_on = CurrentThreadId(); });
    EXPECT_EQ(ran_on, other_id.load());
    release = true;
    other.join();
    RegisterMainThread();
    EXPECT_TRUE(IsMainThread());
}

}  // namespace
}  // namespace brenvale
