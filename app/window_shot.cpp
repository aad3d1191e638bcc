// Takes the README's pictures of the window: the given files listed, the first one converting in
// `output_folder` and the second one selected, in the start skin or in the skin named by --skin.
//   brenvale-window-shot [--skin NAME] PICTURE.png OUTPUT_FOLDER FILE...
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTableWidget>

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

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString skin;
    if (arguments.size() >= 2 && arguments.first() == "--skin") {
        skin = arguments.at(1);
        arguments.remove(0, 2);
    }
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: brenvale-window-shot [--skin NAME] PICTURE.png OUTPUT_FOLDER FILE...\n");
        return 2;
    }
    TFixedAnswers answers(arguments.mid(2));
    brenvale::TForm1 form(QString(), answers);
    if (!form.Started()) return 1;
    if (!skin.isEmpty()) form.Skins().SetSkinName(skin);
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
    form.ButtonConvertClick();
    auto* list = form.findChild<QTableWidget*>("ListView1");
    // A share of the first file done and a preview frame on the panel.
    WaitUntil([&] { return list->item(0, 5)->text().endsWith('%') && list->item(0, 5)->text().size() > 2; }, 60000);
    list->selectRow(1);
    WaitUntil([] { return false; }, 300);
    const QPixmap picture = form.grab();
    form.ButtonStopConvertClick();
    return picture.save(arguments.at(0)) ? 0 : 1;
}
