// window-signal-probe: the window program with something behind it, for the tests that end it
// with a signal.
//   window-signal-probe FILE: plays FILE through the playback panel for half a second, stops
//     it, prints "played" and runs the event loop until something ends the process.
//   window-signal-probe --convert OUTPUT_FOLDER FILE...: lists the files (the kept list of
//     $XDG_STATE_HOME first), leaves the last one unchecked, converts the others to H.264 in
//     MP4 and prints "converting" once the second row is under way, then runs the event loop.
//   window-signal-probe --list: starts with the kept list and prints each row as
//     "checked|progress|details|path", then ends.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
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

void Say(const char* what) {
    std::printf("%s\n", what);
    std::fflush(stdout);
}

int PlayThenWait(brenvale::TForm1& form, const QString& file, QApplication& application) {
    form.AddPaths({file});
    form.findChild<QTableWidget*>("ListView1")->selectRow(0);
    form.ButtonPlayClick();
    brenvale::TFFPlayer& player = form.FFPlayer();
    if (!WaitUntil([&] { return player.CurrentPosition() > 500000; }, 20000)) return 1;
    form.ButtonStopPlayClick();
    Say("played");
    return application.exec();
}

int ConvertThenWait(brenvale::TForm1& form, const QStringList& arguments, QApplication& application) {
    auto* list = form.findChild<brenvale::TListView*>("ListView1");
    form.AddPaths(arguments.mid(1));
    list->SetChecked(list->rowCount() - 1, false);
    form.findChild<QLineEdit*>("EditOutputFolder")->setText(arguments.front());
    // H.264 at a large size: slow enough to be caught half done.
    form.findChild<QComboBox*>("ComboOutputFormat")->setCurrentIndex(6);
    form.ComboOutputFormatChange();
    form.findChild<QComboBox*>("ComboVideoCodec")->setCurrentText("H264");
    form.findChild<QComboBox*>("ComboVideoSize")->setCurrentText("720 x 576");
    form.RIVUV().SetProgressInterval(100);
    form.ButtonConvertClick();
    const int second = list->rowCount() - 2;
    if (!WaitUntil([&] { return list->Value(second, brenvale::TRowValue::Progress).endsWith('%'); }, 60000)) return 1;
    Say("converting");
    return application.exec();
}

int PrintList(brenvale::TForm1& form) {
    const auto* list = form.findChild<brenvale::TListView*>("ListView1");
    for (int row = 0; row < list->rowCount(); ++row) {
        std::printf("%d|%s|%s|%s\n", list->Checked(row) ? 1 : 0,
                    qPrintable(list->Value(row, brenvale::TRowValue::Progress)),
                    qPrintable(list->Value(row, brenvale::TRowValue::Details)), qPrintable(list->Caption(row)));
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.isEmpty() || (arguments.front() == "--convert" && arguments.size() < 4)) {
        std::fprintf(stderr, "usage: window-signal-probe FILE | --convert OUTPUT_FOLDER FILE... | --list\n");
        return 2;
    }
    TNoDialogs dialogs;
    brenvale::TForm1 form(QString(), dialogs);
    if (!form.Started()) return 1;
    form.show();
    if (arguments.front() == "--list") return PrintList(form);
    if (arguments.front() == "--convert") return ConvertThenWait(form, arguments.mid(1), application);
    return PlayThenWait(form, arguments.front(), application);
}
