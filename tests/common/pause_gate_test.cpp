#include "common/pause_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace brenvale {
namespace {

using namespace std::chrono_literals;

// A loop that passes the gate at each iteration, like the transcode loop.
class GatedLoop {
public:
    explicit GatedLoop(PauseGate& gate)
        : thread_([this, &gate] {
              while (!quit_) {
                  gate.Wait();
                  ++iterations_;
                  std::this_thread::sleep_for(1ms);
              }
          }) {}
    ~GatedLoop() {
        quit_ = true;
        thread_.join();
    }
    bool AdvancesWithin(std::chrono::milliseconds time) const {
        const int before = iterations_;
        const auto deadline = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < deadline) {
            if (iterations_ > before + 1) return true;
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }

private:
    std::atomic<bool> quit_{false};
    std::atomic<int> iterations_{0};
    std::thread thread_;
};

TEST(PauseGateTest, PauseHoldsTheLoopAndStopOpensTheGateForGoodUntilReset) {
    PauseGate gate;
    gate.Pause();
    GatedLoop loop(gate);
    EXPECT_FALSE(loop.AdvancesWithin(100ms));
    gate.Stop();
    EXPECT_TRUE(loop.AdvancesWithin(5s));
    gate.Pause();
    EXPECT_FALSE(gate.IsPaused());
    EXPECT_TRUE(loop.AdvancesWithin(5s));
    gate.Reset();
    gate.Pause();
    EXPECT_TRUE(gate.IsPaused());
    gate.Resume();
}

}  // namespace
}  // namespace brenvale
