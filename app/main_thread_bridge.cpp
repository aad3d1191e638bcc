#include "app/main_thread_bridge.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "common/main_thread.h"

namespace brenvale {

TMainThreadBridge::TMainThreadBridge(QCoreApplication& application) {
    // Runs on the queuing thread: it only posts, the event loop serves.
    SetMainThreadWakeUp([] {
        if (QCoreApplication* application = QCoreApplication::instance())
            QMetaObject::invokeMethod(application, [] { ServeMainThreadCalls(); }, Qt::QueuedConnection);
    });
    // Calls queued before the bridge existed.
    QMetaObject::invokeMethod(&application, [] { ServeMainThreadCalls(); }, Qt::QueuedConnection);
}

TMainThreadBridge::~TMainThreadBridge() { SetMainThreadWakeUp({}); }

}  // namespace brenvale
