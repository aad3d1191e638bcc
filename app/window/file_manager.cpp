#include "app/window/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace brenvale {
namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");
constexpr int kAnswerTimeoutMs = 5000;

}  // namespace

bool ShowFileInFolder(const QString& file) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage show = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("ShowItems"));
        show << QStringList{QUrl::fromLocalFile(file).toString()} << QString();
        // The answer says whether a file manager took it; without one the folder opens.
        if (bus.call(show, QDBus::BlockWithGui, kAnswerTimeoutMs).type() == QDBusMessage::ReplyMessage) return true;
    }
    return OpenFolder(QFileInfo(file).path());
}

bool OpenFolder(const QString& folder) { return QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); }

}  // namespace brenvale
