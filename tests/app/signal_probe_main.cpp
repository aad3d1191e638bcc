// window-signal-probe FILE: the window program with one playback of FILE behind it. Plays the
// file through the playback panel for half a second, stops it, prints "played" and runs the
// event loop until something ends the process.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>

#include <cstdio>

#include "app/window/dialogs.h"
#include "app/window/form1.h"

namespace {

class TNoDialogs final : public brenvale::TDialogs {
public:
    void Information(QWidget*, const QString&) override {}
    bool Confirmation(QWidget*, const QString&) override { return false; }
    QStringList OpenFiles(QWidget*, const QStringList&) override { return {}; }
    std::optional<QString> BrowseForFolder(QWidget*, const QString&, const QString&) override { return {}; }
};

bool WaitUntil(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeout_ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: window-signal-probe FILE\n");
        return 2;
    }
    TNoDialogs dialogs;
    brenvale::TForm1 form(QString(), dialogs);
    if (!form.Started()) return 1;
    form.show();
    form.AddPaths({QString::fromLocal8Bit(argv[1])});
    form.findChild<QTableWidget*>("ListView1")->selectRow(0);
    form.ButtonPlayClick();
    brenvale::TFFPlayer& player = form.FFPlayer();
    if (!WaitUntil([&] { return player.CurrentPosition() > 500000; }, 20000)) return 1;
    form.ButtonStopPlayClick();
    std::printf("played\n");
    std::fflush(stdout);
    return application.exec();
}
