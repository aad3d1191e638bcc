// The previewer tests run inside a real QApplication whose event loop serves main-thread calls.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/main_thread_bridge.h"

int main(int argc, char** argv) {
    // Test discovery runs without the test environment, and there is no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const brenvale::TMainThreadBridge bridge(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
