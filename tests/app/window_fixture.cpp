#include "window_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>

#include <algorithm>
#include <fstream>

#include "tests/support/test_media.h"

namespace brenvale::testing {

void TScriptedDialogs::Information(QWidget*, const QString& text) { Informations.push_back(text); }

bool TScriptedDialogs::Confirmation(QWidget*, const QString& text) {
    Confirmations.push_back(text);
    if (Answers.empty()) return false;
    const bool answer = Answers.front();
    Answers.pop_front();
    return answer;
}

QStringList TScriptedDialogs::OpenFiles(QWidget*, const QStringList& name_filters) {
    NameFilters = name_filters;
    if (WhileOpenDialogShows) WhileOpenDialogShows();
    return FilesToOpen;
}

std::optional<QString> TScriptedDialogs::BrowseForFolder(QWidget*, const QString& headline, const QString&) {
    BrowseHeadlines.push_back(headline);
    return FolderToChoose;
}

void WindowTest::SetUp() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() / "brenvale-window" / test->test_suite_name() / test->name();
    std::filesystem::remove_all(folder_);
    output_folder_ = folder_ / "out";
    std::filesystem::create_directories(output_folder_);
    const QString settings = QString::fromStdString((folder_ / "settings").string());
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings);
    // The kept list and the user's videos folder of the test's own.
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString((folder_ / "state").string()));
    const std::filesystem::path config = folder_ / "config";
    std::filesystem::create_directories(config);
    std::ofstream(config / "user-dirs.dirs") << "XDG_VIDEOS_DIR=\"" << VideosFolder().string() << "\"\n";
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
}

std::filesystem::path WindowTest::VideosFolder() const { return folder_ / "Videos"; }

void WindowTest::TearDown() {
    form_.reset();
    std::filesystem::remove_all(folder_);
}

void WindowTest::StartWindow() {
    form_ = std::make_unique<TForm1>(QString(), dialogs_);
    ASSERT_TRUE(form_->Started());
    form_->LoadSettings();
    form_->show();
    QCoreApplication::processEvents();
}

TListView& WindowTest::List() { return *Find<TListView>("ListView1"); }

void WindowTest::AddClips(const std::vector<std::string>& clips) {
    dialogs_.FilesToOpen.clear();
    for (const std::string& clip : clips) dialogs_.FilesToOpen << QString::fromStdString(TestClipPath(clip));
    form_->ButtonAddFileClick();
}

void WindowTest::ChooseFormat(int index) {
    auto* combo = Find<QComboBox>("ComboOutputFormat");
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void WindowTest::UseOutputFolder() {
    Find<QLineEdit>("EditOutputFolder")->setText(QString::fromStdString(output_folder_.string()));
}

bool WindowTest::WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > std::chrono::duration_cast<std::chrono::milliseconds>(timeout).count()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

bool WindowTest::ConvertAndWait() {
    form_->ButtonConvertClick();
    return WaitFor([this] { return !form_->RunActive() && !form_->Converting(); });
}

int WindowTest::CountInformations(const QString& text) const {
    return static_cast<int>(std::count(dialogs_.Informations.begin(), dialogs_.Informations.end(), text));
}

int WindowTest::CountCompletions() const {
    return static_cast<int>(std::count_if(dialogs_.Informations.begin(), dialogs_.Informations.end(), [](const QString& text) {
        return text.startsWith(QLatin1String("All Conversions Completed\n"));
    }));
}

}  // namespace brenvale::testing
