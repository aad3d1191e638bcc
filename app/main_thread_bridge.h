// Lets the Qt event loop serve the calls other threads hand to the main thread (common/main_thread.h).
#pragma once

class QCoreApplication;

namespace brenvale {

// Main thread only; one per application, living as long as its event loop.
class TMainThreadBridge {
public:
    explicit TMainThreadBridge(QCoreApplication& application);
    // Queued calls are then served only by the main thread's waits again.
    ~TMainThreadBridge();
    TMainThreadBridge(const TMainThreadBridge&) = delete;
    TMainThreadBridge& operator=(const TMainThreadBridge&) = delete;
};

}  // namespace brenvale
