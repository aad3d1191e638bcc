// The window on a desktop: the notification at the end of a run, on a session bus of the test's
// own with a notification service of its own, or with no service or no bus at all; and the help
// file when no program can open it. Each test needs a process of its own (as CTest runs them):
// the toolkit keeps its first session bus connection for the process.
#include <QAction>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>
#include <vector>

#include "app/window/program_files.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

// A session bus of the test's own: no services to start, nothing of the user's desktop.
class TTestBus {
public:
    TTestBus() {
        QFile config(folder_.filePath("session.conf"));
        EXPECT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                                    "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                    "<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                    "<auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                    "<allow own=\"*\"/></policy></busconfig>\n")
                         .arg(folder_.path())
                         .toUtf8());
        config.close();
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")});
        EXPECT_TRUE(daemon_.waitForStarted()) << "dbus-daemon (scripts/install-deps installs it)";
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) {
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
        EXPECT_FALSE(address_.isEmpty());
    }
    ~TTestBus() {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
    const QString& Address() const { return address_; }

private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
};

// Answers Notify and GetServerInformation and remembers every notification.
class TNotificationService final : public QDBusVirtualObject {
public:
    explicit TNotificationService(const QString& address)
        : bus_(QDBusConnection::connectToBus(address, QStringLiteral("notification-service"))) {
        EXPECT_TRUE(bus_.isConnected());
        EXPECT_TRUE(bus_.registerVirtualObject(kPath, this));
        EXPECT_TRUE(bus_.registerService(kService));
    }
    ~TNotificationService() override {
        bus_.unregisterObject(kPath);
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-service"));
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == QLatin1String("Notify")) {
            Notifications.push_back(message.arguments());
            connection.send(message.createReply(QVariant::fromValue(static_cast<uint>(Notifications.size()))));
            return true;
        }
        if (message.member() == QLatin1String("GetServerInformation")) {
            connection.send(message.createReply(
                {QStringLiteral("test"), QStringLiteral("brenvale"), QStringLiteral("1"), QStringLiteral("1.2")}));
            return true;
        }
        return false;
    }
    QString introspect(const QString&) const override { return {}; }

    std::vector<QVariantList> Notifications;

private:
    QDBusConnection bus_;
};

// Answers ShowItems as a file manager does and remembers what it was asked to show.
class TFileManagerService final : public QDBusVirtualObject {
public:
    explicit TFileManagerService(const QString& address)
        : bus_(QDBusConnection::connectToBus(address, QStringLiteral("file-manager"))) {
        EXPECT_TRUE(bus_.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), this));
        EXPECT_TRUE(bus_.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }
    ~TFileManagerService() override { QDBusConnection::disconnectFromBus(QStringLiteral("file-manager")); }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != QLatin1String("ShowItems")) return false;
        Shown << message.arguments().value(0).toStringList();
        connection.send(message.createReply());
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

    QStringList Shown;

private:
    QDBusConnection bus_;
};

class DesktopTest : public WindowTest {
protected:
    void UseBus(const QString& address) { qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8()); }

    // One file done, one failed.
    void ConvertTwoFiles() {
        StartWindow();
        ChooseFormat(1);
        UseOutputFolder();
        AddClips({clips::kWavPcm, clips::kRandomBytes});
    }
    void MakeAnotherWindowActive() {
        other_.show();
        other_.activateWindow();
        ASSERT_TRUE(WaitFor([this] { return !Form().isActiveWindow(); }, std::chrono::seconds(10)));
    }
    // Messages on one connection arrive in order: once this answer is back, a notification
    // sent before it has arrived too.
    void RoundTrip() {
        const QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                                QStringLiteral("GetServerInformation"));
        EXPECT_EQ(QDBusConnection::sessionBus().call(ask, QDBus::BlockWithGui, 10000).type(), QDBusMessage::ReplyMessage);
    }

    QWidget other_;
};

TEST_F(DesktopTest, ARunEndingWhileTheWindowIsNotActiveIsNotifiedWithItsCounts) {
    const TTestBus bus;
    UseBus(bus.Address());
    TNotificationService service(bus.Address());
    ConvertTwoFiles();
    MakeAnotherWindowActive();
    ASSERT_TRUE(ConvertAndWait());
    ASSERT_TRUE(WaitFor([&] { return !service.Notifications.empty(); }, std::chrono::seconds(10)));
    ASSERT_EQ(service.Notifications.size(), 1u);
    const QVariantList& notification = service.Notifications.front();
    ASSERT_EQ(notification.size(), 8);
    EXPECT_EQ(notification[0].toString(), "Brenvale");
    EXPECT_EQ(notification[2].toString(), "brenvale");
    EXPECT_EQ(notification[3].toString(), "All Conversions Completed");
    EXPECT_EQ(notification[4].toString(), "1 file done, 1 failed");
    EXPECT_EQ(CountCompletions(), 1);
}

TEST_F(DesktopTest, ARunEndingInTheActiveWindowIsNotNotified) {
    const TTestBus bus;
    UseBus(bus.Address());
    TNotificationService service(bus.Address());
    ConvertTwoFiles();
    Form().activateWindow();
    ASSERT_TRUE(WaitFor([this] { return Form().isActiveWindow(); }, std::chrono::seconds(10)));
    ASSERT_TRUE(ConvertAndWait());
    RoundTrip();
    EXPECT_TRUE(service.Notifications.empty());
}

TEST_F(DesktopTest, WithoutANotificationServiceTheRunEndsAsEver) {
    const TTestBus bus;
    UseBus(bus.Address());
    ConvertTwoFiles();
    MakeAnotherWindowActive();
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(CountCompletions(), 1);
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "Done");
    EXPECT_TRUE(QDBusConnection::sessionBus().isConnected());
}

TEST_F(DesktopTest, WithoutASessionBusTheRunEndsAsEver) {
    const QTemporaryDir nowhere;
    UseBus(QStringLiteral("unix:path=") + nowhere.filePath("no-bus"));
    ConvertTwoFiles();
    MakeAnotherWindowActive();
    ASSERT_TRUE(ConvertAndWait());
    EXPECT_EQ(CountCompletions(), 1);
    EXPECT_FALSE(QDBusConnection::sessionBus().isConnected());
}

// Show in Folder asks the desktop's file manager to show the row's output, selected.
TEST_F(DesktopTest, ShowInFolderAsksTheFileManagerToSelectTheOutput) {
    const TTestBus bus;
    UseBus(bus.Address());
    TFileManagerService file_manager(bus.Address());
    ConvertTwoFiles();
    ASSERT_TRUE(ConvertAndWait());
    List().selectRow(0);
    Find<QAction>("ShowInFolder1")->trigger();
    ASSERT_EQ(file_manager.Shown.size(), 1);
    EXPECT_EQ(file_manager.Shown[0], QUrl::fromLocalFile(QString::fromStdString((output_folder_ / "wav_pcm.flv").string())).toString());
}

// The help file lies beside this test program; no program is found to open it.
TEST_F(DesktopTest, OpenHelpFileSaysSoWhenNoProgramCanOpenIt) {
    const QString help = FindHelpFile(QCoreApplication::applicationDirPath());
    ASSERT_FALSE(help.isEmpty());
    const QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", empty.path().toUtf8());
    qunsetenv("BROWSER");
    StartWindow();
    Find<QAction>("OpenHelpFile1")->trigger();
    qputenv("PATH", path);
    EXPECT_EQ(CountInformations("No program to open the help file was found.\nThe help file is " + help), 1);
}

}  // namespace
}  // namespace brenvale::testing
