// TPreviewer: the engine's preview window (engine/preview_window.h) as a Qt window. Created and
// used by a job's thread; the window is made, drawn and freed on the main thread while that
// thread waits, so the application's event loop must serve main-thread calls (TMainThreadBridge).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <QString>

#include "engine/preview_window.h"

namespace brenvale {

class TPreviewForm;

class TPreviewer final : public TPreviewWindow {
public:
    TPreviewer();
    // Frees the window on the main thread, waiting for it.
    ~TPreviewer() override;
    TPreviewer(const TPreviewer&) = delete;
    TPreviewer& operator=(const TPreviewer&) = delete;

    // One caller at a time. Opens the window with the first picture, sized to its bitmap.
    bool ShowFrame(const TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts) override;

    // "N/A" for the library's no-time-stamp value, else hours:minutes:seconds.milliseconds.
    static QString TimeCaption(std::int64_t pts);

private:
    void show_step(const TBitmap& bitmap, std::int64_t pts);

    std::atomic<bool> closed_{false};       // set on the main thread when the user closes the window
    std::atomic<bool> window_made_{false};  // so that a previewer that never showed needs no hand-off
    std::unique_ptr<TPreviewForm> window_;  // main thread only
};

// Makes every job's preview window a TPreviewer (SetPreviewWindowFactory).
void InstallPreviewer();

}  // namespace brenvale
