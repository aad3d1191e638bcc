// The preview window of a job, as the engine sees it. The application implements it with its
// window toolkit and installs a factory; where none is installed (headless), no window can open
// and the engine drops the window preview as if the window had been closed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace brenvale {

class TBitmap;

class TPreviewWindow {
public:
    // Any thread; an implementation frees its window on the main thread, waiting for it.
    virtual ~TPreviewWindow() = default;
    // Any thread: shows the bitmap with the time caption of `pts` (µs, or the library's
    // no-time-stamp value), drawn on the main thread while the caller waits. The bitmap is valid
    // only during the call. False once the user has closed the window.
    virtual bool ShowFrame(const TBitmap& bitmap, std::int32_t frame_number, std::int64_t pts) = 0;
};

// Creates a window object; it must not wait for the main thread (the window itself opens with
// the first ShowFrame).
using TPreviewWindowFactory = std::function<std::unique_ptr<TPreviewWindow>()>;

// Thread-safe. An empty factory removes the installed one.
void SetPreviewWindowFactory(TPreviewWindowFactory factory);
// Null when no factory is installed.
std::unique_ptr<TPreviewWindow> CreatePreviewWindow();

}  // namespace brenvale
