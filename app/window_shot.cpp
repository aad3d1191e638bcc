// Takes the README's pictures of the window: the given files listed, the first one converting in
// `output_folder`, the second one selected and the last one unticked, in the start skin or in the skin named by --skin.
// With --playing, the first file plays in the playback panel instead, from its middle; with
// --formats, the output-format list is shown open on a format of today (the whole screen). With
// --size, the window has that size (width x height). The kept list of the user is not read.
//   brenvale-window-shot [--skin NAME] [--size WxH] [--playing | --formats] PICTURE.png OUTPUT_FOLDER FILE...
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>

#include "app/window/dialogs.h"
#include "app/window/form1.h"

namespace {

// Opens the given files and says OK to every message.
class TFixedAnswers final : public brenvale::TDialogs {
public:
    explicit TFixedAnswers(QStringList files) : files_(std::move(files)) {}
    void Information(QWidget*, const QString&) override {}
    bool Confirmation(QWidget*, const QString&) override { return true; }
    QStringList OpenFiles(QWidget*, const QStringList&) override { return files_; }
    std::optional<QString> BrowseForFolder(QWidget*, const QString&, const QString&) override { return {}; }

private:
    QStringList files_;
};

void WaitUntil(const std::function<bool()>& done, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeout_ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The first file playing from its middle, half a second in.
bool ShootPlayback(brenvale::TForm1& form, const QString& picture_file) {
    form.findChild<QTableWidget*>("ListView1")->selectRow(0);
    form.ButtonPlayClick();
    brenvale::TFFPlayer& player = form.FFPlayer();
    WaitUntil([&] { return player.Position() > 0; }, 10000);
    const std::int64_t middle = form.findChild<QSlider*>("TrackBarPosition")->maximum() * 500LL;
    player.Seek(middle);
    WaitUntil([&] { return player.CurrentPosition() > middle + 500000; }, 20000);
    const QPixmap picture = form.grab();
    form.ButtonStopPlayClick();
    return picture.save(picture_file);
}

// The format list open on the H.265 entry, its settings filled in: a picture of the screen, as
// the list is a window of its own.
bool ShootFormatList(brenvale::TForm1& form, const QString& picture_file) {
    auto* format = form.findChild<QComboBox*>("ComboOutputFormat");
    format->setCurrentIndex(13);
    form.ComboOutputFormatChange();
    format->showPopup();
    WaitUntil([] { return false; }, 500);
    return QGuiApplication::primaryScreen()->grabWindow(0).save(picture_file);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString skin;
    if (arguments.size() >= 2 && arguments.first() == "--skin") {
        skin = arguments.at(1);
        arguments.remove(0, 2);
    }
    QSize size;
    if (arguments.size() >= 2 && arguments.first() == "--size") {
        const QStringList sides = arguments.at(1).split('x');
        size = QSize(sides.value(0).toInt(), sides.value(1).toInt());
        arguments.remove(0, 2);
    }
    const bool playing = !arguments.isEmpty() && arguments.first() == "--playing";
    if (playing) arguments.removeFirst();
    const bool formats = !arguments.isEmpty() && arguments.first() == "--formats";
    if (formats) arguments.removeFirst();
    if (arguments.size() < 3) {
        std::fprintf(stderr,
                     "usage: brenvale-window-shot [--skin NAME] [--size WxH] [--playing | --formats] PICTURE.png "
                     "OUTPUT_FOLDER FILE...\n");
        return 2;
    }
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    TFixedAnswers answers(arguments.mid(2));
    brenvale::TForm1 form(QString(), answers);
    if (!form.Started()) return 1;
    if (!skin.isEmpty()) form.Skins().SetSkinName(skin);
    if (size.isValid()) form.resize(size);
    form.show();
    form.findChild<QLineEdit*>("EditOutputFolder")->setText(arguments.at(1));
    // MP4 with H.264 at a large size: slow enough to catch the first file half done.
    auto* format = form.findChild<QComboBox*>("ComboOutputFormat");
    format->setCurrentIndex(6);
    form.ComboOutputFormatChange();
    form.findChild<QComboBox*>("ComboVideoCodec")->setCurrentText("H264");
    form.findChild<QComboBox*>("ComboVideoSize")->setCurrentText("720 x 576");
    form.RIVUV().SetProgressInterval(100);
    form.ButtonAddFileClick();
    if (playing) return ShootPlayback(form, arguments.at(0)) ? 0 : 1;
    if (formats) return ShootFormatList(form, arguments.at(0)) ? 0 : 1;
    form.ButtonConvertClick();
    auto* list = form.findChild<brenvale::TListView*>("ListView1");
    // A share of the first file done, its speed and time left told, and a preview frame on the panel.
    WaitUntil([&] { return list->Value(0, brenvale::TRowValue::Details).endsWith(QLatin1String(" left")); }, 60000);
    list->selectRow(1);
    // The last file unticked: its box shows its frame.
    list->SetChecked(list->rowCount() - 1, false);
    WaitUntil([] { return false; }, 300);
    const QPixmap picture = form.grab();
    form.ButtonStopConvertClick();
    return picture.save(arguments.at(0)) ? 0 : 1;
}
