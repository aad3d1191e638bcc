// Preview delivery: which kind is served, how often, what a failure or a closed window drops,
// and that flag changes from the main thread never wait on a delivery that waits for it.
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "common/main_thread.h"
#include "engine/preview_window.h"
#include "tests/hooks/hook_fixture.h"

namespace brenvale::testing {
namespace {

// A window that shows on the main thread, as a real one does, until it is "closed".
struct TestWindows {
    std::atomic<int> created{0};
    std::atomic<int> destroyed{0};
    std::atomic<int> shown{0};
    int shows_before_closing = 1000;
};

class TestWindow : public TPreviewWindow {
public:
    explicit TestWindow(TestWindows& windows) : windows_(windows) { ++windows_.created; }
    ~TestWindow() override { ++windows_.destroyed; }
    bool ShowFrame(const TBitmap&, std::int32_t, std::int64_t) override {
        RunOnMainThread([this] { ++windows_.shown; });
        return windows_.shown < windows_.shows_before_closing;
    }

private:
    TestWindows& windows_;
};

class PreviewTest : public HookFixture {
protected:
    void SetUp() override {
        HookFixture::SetUp();
        encoder_ = ff::avcodec_alloc_context3(nullptr);
        encoder_->time_base = {1, 25};
        picture_ = MakePicture(AV_PIX_FMT_YUV420P, 32, 24, 0x80);
        picture_->pts = 10;
        engine_->preview_interval = -1;  // every picture is due
        engine_->on_preview = [this](TCustomFFmpeg&, TBitmap& bitmap, std::int32_t frame, std::int64_t pts) {
            bitmaps_.push_back({bitmap.Width(), bitmap.Height(), frame, pts});
        };
    }
    void TearDown() override {
        SetPreviewWindowFactory({});
        ff::avcodec_free_context(&encoder_);
        picture_.reset();
        HookFixture::TearDown();
    }

    void InstallTestWindows() {
        SetPreviewWindowFactory([this] { return std::make_unique<TestWindow>(windows_); });
    }
    void Deliver() { engine_->deliver_preview(*picture_, *encoder_); }

    struct Delivered {
        int width, height;
        std::int32_t frame;
        std::int64_t pts;
        bool operator==(const Delivered&) const = default;
    };

    AVCodecContext* encoder_ = nullptr;
    FramePtr picture_;
    TestWindows windows_;
    std::vector<Delivered> bitmaps_;
};

TEST_F(PreviewTest, BitmapCallbackTakesPrecedenceOverTheWindow) {
    InstallTestWindows();
    engine_->set_preview_flags(kPreviewWindow | kPreviewBitmap);
    engine_->hook_state.hook_frame_count = 7;
    Deliver();
    EXPECT_EQ(bitmaps_, (std::vector<Delivered>{{32, 24, 7, 400000}}));
    EXPECT_EQ(windows_.created, 0);

    engine_->on_preview = nullptr;  // without a handler the window is served
    Deliver();
    EXPECT_EQ(windows_.shown, 1);
    EXPECT_EQ(engine_->preview_flags.load(), kPreviewWindow | kPreviewBitmap);
}

TEST_F(PreviewTest, PreviewsAreRateLimitedAndTimedInMicroseconds) {
    engine_->set_preview_flags(kPreviewBitmap);
    engine_->preview_interval = 60 * 1000000;
    Deliver();
    Deliver();
    picture_->pts = AV_NOPTS_VALUE;
    engine_->preview_interval = -1;
    Deliver();
    EXPECT_EQ(bitmaps_, (std::vector<Delivered>{{32, 24, 0, 400000}, {32, 24, 0, AV_NOPTS_VALUE}}));
}

TEST_F(PreviewTest, ClosedWindowDropsTheWindowPreviewForTheRun) {
    InstallTestWindows();
    windows_.shows_before_closing = 2;
    engine_->set_preview_flags(kPreviewWindow);
    for (int i = 0; i < 4; ++i) Deliver();
    EXPECT_EQ(windows_.shown, 2);
    EXPECT_EQ(windows_.created, 1);
    EXPECT_EQ(windows_.destroyed, 1);
    EXPECT_EQ(engine_->preview_flags.load(), 0u);
}

TEST_F(PreviewTest, WithoutAWindowFactoryTheWindowBitIsDropped) {
    engine_->set_preview_flags(kPreviewWindow);
    Deliver();
    EXPECT_EQ(engine_->preview_flags.load(), 0u);
    EXPECT_TRUE(log_.empty());
}

TEST_F(PreviewTest, FailedConversionDropsOnlyThatKind) {
    engine_->set_preview_flags(kPreviewWindow | kPreviewBitmap);
    picture_->format = AV_PIX_FMT_NONE;
    Deliver();
    EXPECT_TRUE(bitmaps_.empty());
    EXPECT_EQ(engine_->preview_flags.load(), kPreviewWindow);
    EXPECT_EQ(log_, std::vector<std::string>{"0: Cannot initialize the toRGB conversion context"});
}

TEST_F(PreviewTest, ClearingTheWindowBitFreesTheWindowAndTheRunFreesItToo) {
    InstallTestWindows();
    engine_->set_preview_flags(kPreviewWindow);
    Deliver();
    engine_->set_preview_flags(kPreviewWindow);  // unchanged: nothing happens
    EXPECT_EQ(windows_.destroyed, 0);
    engine_->set_preview_flags(kPreviewBitmap);
    EXPECT_EQ(windows_.destroyed, 1);

    engine_->set_preview_flags(kPreviewWindow);
    Deliver();
    EXPECT_EQ(windows_.created, 2);
    engine_->release_job();
    EXPECT_EQ(windows_.destroyed, 2);
}

// Runs `deliveries` on a worker while the main thread serves it and runs `on_main` at each poll;
// false when the two waited on each other.
bool DeliverBesideTheMainThread(const std::function<void()>& deliveries, const std::function<void()>& on_main) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        deliveries();
        done = true;
    });
    const bool finished = WaitServingMainThread(
        [&] {
            on_main();
            return done.load();
        },
        std::chrono::seconds(20));
    if (!finished) {
        worker.detach();  // deadlocked: do not hang the suite as well
        return false;
    }
    worker.join();
    return true;
}

TEST_F(PreviewTest, PreviewHandlerMayChangeTheFlagsOnTheMainThread) {
    engine_->set_preview_flags(kPreviewBitmap);
    engine_->on_preview = [](TCustomFFmpeg& engine, TBitmap&, std::int32_t, std::int64_t) {
        RunOnMainThread([&engine] { engine.set_preview_flags(kPreviewWindow); });
    };
    ASSERT_TRUE(DeliverBesideTheMainThread([this] { Deliver(); }, [] {}));
    EXPECT_EQ(engine_->preview_flags.load(), kPreviewWindow);
}

TEST_F(PreviewTest, WindowMayBeSwitchedOffWhileAPictureIsShown) {
    InstallTestWindows();
    engine_->set_preview_flags(kPreviewWindow);
    const auto deliveries = [this] {
        for (int i = 0; i < 500 && windows_.shown < 10; ++i) {
            Deliver();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    const auto toggle = [this] { engine_->set_preview_flags(engine_->preview_flags ^ kPreviewWindow); };
    ASSERT_TRUE(DeliverBesideTheMainThread(deliveries, toggle));
    engine_->set_preview_flags(0);
    EXPECT_GT(windows_.shown, 0);
    EXPECT_EQ(windows_.created, windows_.destroyed);
}

}  // namespace
}  // namespace brenvale::testing
