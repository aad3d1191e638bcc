// The component's side of the per-frame reports: the engine's slots as an engine calls them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "common/bitmap.h"
#include "common/main_thread.h"
#include "common/thread_priority.h"
#include "converter_fixture.h"
#include "tests/support/test_media.h"

namespace brenvale {
namespace {

using namespace std::chrono_literals;
using testing::ConverterTest;
using testing::TestClipPath;
namespace clips = mediagen::clips;

struct PreviewDelivery {
    int index = 0;
    int width = 0;
    int frame_number = 0;
    std::int64_t pts = 0;
    std::uint32_t thread_id = 0;
    bool caller_returned = false;
};

class ConverterDeliveryTest : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        TOutputOptions options;
        options.VideoCodec = "mpeg4";
        options.AudioCodec = "mp2";
        options.CustomHook = true;
        ASSERT_EQ(AddJob(clips::kMp4H264Aac, "custom.avi", &options), 0);
        options.CustomHook = false;
        options.BeforeHook = true;
        ASSERT_EQ(AddJob(clips::kMp4H264Aac, "before.avi", &options), 1);
    }
    TFFmpeg& Job(int index) { return converter_.Jobs().Item(index); }
};

TEST_F(ConverterDeliveryTest, PreviewBitmapsReachTheMainThreadWhileEachWorkerWaits) {
    std::mutex mutex;
    std::vector<PreviewDelivery> deliveries;
    std::atomic<bool> returned[2] = {false, false};
    converter_.SetOnPreviewBitmap([&](int index, TBitmap& bitmap, int frame_number, std::int64_t pts) {
        std::this_thread::sleep_for(20ms);
        const std::lock_guard<std::mutex> lock(mutex);
        deliveries.push_back({index, bitmap.Width(), frame_number, pts, CurrentThreadId(), returned[index].load()});
    });
    std::vector<std::thread> workers;
    for (int index = 0; index < 2; ++index) {
        workers.emplace_back([&, index] {
            TBitmap bitmap(4 + index, 2);
            Job(index).on_preview(Job(index), bitmap, 10 + index, 100 * index);
            returned[index] = true;
        });
    }
    EXPECT_TRUE(WaitServingMainThread([&] { return returned[0] && returned[1]; }, 10s));
    for (std::thread& worker : workers) worker.join();

    ASSERT_EQ(deliveries.size(), 2u);
    for (const PreviewDelivery& delivery : deliveries) {
        EXPECT_EQ(delivery.thread_id, CurrentThreadId());
        EXPECT_FALSE(delivery.caller_returned);
        EXPECT_EQ(delivery.width, 4 + delivery.index);
        EXPECT_EQ(delivery.frame_number, 10 + delivery.index);
        EXPECT_EQ(delivery.pts, 100 * delivery.index);
    }
}

TEST_F(ConverterDeliveryTest, OnTheMainThreadThePreviewHandlerRunsAtOnce) {
    int calls = 0;
    converter_.SetOnPreviewBitmap([&](int index, TBitmap&, int, std::int64_t) { calls += index + 1; });
    TBitmap bitmap(2, 2);
    Job(1).on_preview(Job(1), bitmap, 0, 0);
    EXPECT_EQ(calls, 2);
}

TEST_F(ConverterDeliveryTest, HookHandlersRunOnTheJobsThreadAndAnswerTheEngine) {
    std::uint32_t custom_thread = 0;
    std::uint32_t before_thread = 0;
    int custom_index = -1;
    int before_index = -1;
    converter_.SetOnCustomHook([&](int index, TBitmap&, int frame_number, std::int64_t, bool& update, bool& stop_hook) {
        custom_index = index;
        custom_thread = CurrentThreadId();
        update = frame_number == 3;
        stop_hook = true;
    });
    converter_.SetOnBeforeHook([&](int index, std::int64_t pts, THookAction& action) {
        before_index = index;
        before_thread = CurrentThreadId();
        if (pts == 40) action = THookAction::haIgnore;
    });
    bool update = false;
    bool stop_hook = false;
    THookAction action = THookAction::haContinue;
    std::uint32_t worker_thread = 0;
    std::thread([&] {
        worker_thread = CurrentThreadId();
        TBitmap bitmap(2, 2);
        Job(0).on_custom_hook(Job(0), bitmap, 3, 40, update, stop_hook);
        Job(1).on_before_hook(Job(1), 40, action);
    }).join();

    EXPECT_EQ(custom_index, 0);
    EXPECT_EQ(before_index, 1);
    EXPECT_EQ(custom_thread, worker_thread);
    EXPECT_EQ(before_thread, worker_thread);
    EXPECT_TRUE(update);
    EXPECT_TRUE(stop_hook);
    EXPECT_EQ(action, THookAction::haIgnore);
}

}  // namespace
}  // namespace brenvale
