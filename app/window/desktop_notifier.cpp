#include "app/window/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace brenvale {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
constexpr int kServerDecidesTimeout = -1;

}  // namespace

void NotifyDesktop(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage notify = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    notify << QStringLiteral("Brenvale") << 0u << QStringLiteral("brenvale") << summary << body << QStringList()
           << QVariantMap() << kServerDecidesTimeout;
    // Sent without waiting: a missing service answers with an error nobody needs to read.
    bus.send(notify);
}

}  // namespace brenvale
