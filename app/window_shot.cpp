// Takes the README's picture of the window: the given files listed and the first one
// converting to FLV in `output_folder`.
//   brenvale-window-shot PICTURE.png OUTPUT_FOLDER FILE...
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
    if (argc < 4) {
        std::fprintf(stderr, "usage: brenvale-window-shot PICTURE.png OUTPUT_FOLDER FILE...\n");
        return 2;
    }
    QStringList files;
    for (int argument = 3; argument < argc; ++argument) files << QString::fromLocal8Bit(argv[argument]);
    TFixedAnswers answers(files);
    brenvale::TForm1 form(QString(), answers);
    if (!form.Started()) return 1;
    form.show();
    form.findChild<QLineEdit*>("EditOutputFolder")->setText(QString::fromLocal8Bit(argv[2]));
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
    WaitUntil([] { return false; }, 300);
    const QPixmap picture = form.grab();
    form.ButtonStopConvertClick();
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
