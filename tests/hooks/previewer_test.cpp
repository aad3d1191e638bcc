// The Qt preview window inside a real event loop: shown from a job's thread, its caption, its
// drawing, closing it, dragging it by any point, and the window of a real preview job.
#include "app/previewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "common/bitmap.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_thread.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

constexpr std::int64_t kNoTime = static_cast<std::int64_t>(UINT64_C(0x8000000000000000));

QWidget* PreviewWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "PreviewForm") return widget;
    }
    return nullptr;
}

// Runs `work` on another thread while the main thread's event loop runs.
void RunBesideEventLoop(const std::function<void()>& work) {
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

void Fill(TBitmap& bitmap, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    for (int row = 0; row < bitmap.Height(); ++row) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            bitmap.ScanLine(row)[3 * x] = blue;
            bitmap.ScanLine(row)[3 * x + 1] = green;
            bitmap.ScanLine(row)[3 * x + 2] = red;
        }
    }
}

TEST(PreviewerCaptionTest, ShowsTheTimeOrNotAvailable) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {kNoTime, "N/A"},
        {0, "00:00:00.000"},
        {3725500000, "01:02:05.500"},
        {59999999, "00:00:59.999"},
        {360000000000, "100:00:00.000"},
    };
    for (const auto& [pts, caption] : cases) EXPECT_EQ(TPreviewer::TimeCaption(pts), caption) << pts;
}

class PreviewerTest : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_EQ(PreviewWindow(), nullptr) << "a preview window was left open"; }
};

TEST_F(PreviewerTest, FirstPictureFromAJobThreadOpensTheWindowAndDrawsIt) {
    auto previewer = std::make_unique<TPreviewer>();
    TBitmap bitmap(64, 48);
    Fill(bitmap, 0x20, 0x80, 0xE0);
    bool shown = false;
    RunBesideEventLoop([&] { shown = previewer->ShowFrame(bitmap, 1, 3725500000); });
    EXPECT_TRUE(shown);

    QWidget* window = PreviewWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(64, 48));
    EXPECT_EQ(window->windowTitle(), "01:02:05.500");
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QImage drawn = window->grab().toImage();
    for (const QPoint corner : {QPoint(0, 0), QPoint(63, 47)}) EXPECT_EQ(drawn.pixelColor(corner), QColor(0xE0, 0x80, 0x20));

    RunBesideEventLoop([&] { previewer.reset(); });  // frees the window on the main thread
}

TEST_F(PreviewerTest, ClosedWindowRefusesFurtherPictures) {
    auto previewer = std::make_unique<TPreviewer>();
    TBitmap bitmap(32, 24);
    ASSERT_TRUE(previewer->ShowFrame(bitmap, 1, 0));  // on the main thread: at once
    QWidget* window = PreviewWindow();
    ASSERT_NE(window, nullptr);
    window->close();
    bool shown = true;
    RunBesideEventLoop([&] { shown = previewer->ShowFrame(bitmap, 2, 40000); });
    EXPECT_FALSE(shown);
    EXPECT_FALSE(window->isVisible());
    previewer.reset();
}

TEST_F(PreviewerTest, WindowIsDraggedByAnyPoint) {
    auto previewer = std::make_unique<TPreviewer>();
    TBitmap bitmap(80, 60);
    ASSERT_TRUE(previewer->ShowFrame(bitmap, 1, 0));
    QWidget* window = PreviewWindow();
    ASSERT_NE(window, nullptr);
    const QPoint start = window->pos();
    const QPoint inside(30, 20);
    const QPoint global = window->mapToGlobal(inside);
    const QPoint step(40, 25);
    QMouseEvent press(QEvent::MouseButtonPress, inside, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    QMouseEvent move(QEvent::MouseMove, inside + step, global + step, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, inside + step, global + step, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(window, &release);
    EXPECT_EQ(window->pos(), start + step);
    previewer.reset();
}

class PreviewJobTest : public TranscodeTest {
protected:
    void SetUp() override {
        TranscodeTest::SetUp();
        InstallPreviewer();
    }
    void TearDown() override {
        SetPreviewWindowFactory({});
        TranscodeTest::TearDown();
    }
};

// The job runs on its own thread; the window opens, shows pictures and closes with the job.
TEST_F(PreviewJobTest, RunningJobShowsItsPreviewWindowUntilItEnds) {
    TCustomFFmpeg engine;
    engine.prepare_job();
    ASSERT_TRUE(engine.open_input_file(TestClipPath(mediagen::clips::kAviMpeg4Mp3)));
    engine.apply_option("vcodec", "mpeg4");
    engine.apply_option("an", "1");
    engine.apply_option("s", "160x120");
    ASSERT_GT(engine.open_output_file(PathOf("out.avi")), 0) << engine.last_error;
    engine.preview_interval = -1;
    engine.set_preview_flags(kPreviewWindow);

    QEventLoop loop;
    engine.on_terminate = [&](TCustomFFmpeg&) {
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    };
    QSize seen_size;
    QString seen_caption;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (QWidget* window = PreviewWindow(); window && window->isVisible()) {
            seen_size = window->size();
            seen_caption = window->windowTitle();
        }
    });
    watcher.start(1);
    TFFmpegThread* thread = engine.start(true);
    ASSERT_NE(thread, nullptr);
    thread->Resume();
    loop.exec();
    EXPECT_TRUE(engine.finished) << engine.exception_message;
    EXPECT_EQ(seen_size, QSize(160, 120));
    EXPECT_TRUE(seen_caption.startsWith("00:00:0")) << seen_caption.toStdString();
    EXPECT_EQ(engine.preview_flags.load(), kPreviewWindow);
    EXPECT_EQ(PreviewWindow(), nullptr);
}

}  // namespace
}  // namespace brenvale::testing
