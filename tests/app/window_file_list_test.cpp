// Rows of probed files, the list commands, dropped files and the output folder.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QUrl>

#include <fstream>

#include "app/window/command_line_files.h"
#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"
#include "tools/media_generator.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

QStringList RowValues(TListView& list, int row) {
    QStringList values;
    for (int value = 0; value < kRowValueCount; ++value) values << list.Value(row, static_cast<TRowValue>(value));
    return values;
}

TEST_F(WindowTest, RowsDescribeEachProbedFile) {
    StartWindow();
    namespace clips = mediagen::clips;
    AddClips({clips::kMp4H264Aac, clips::kWavPcm, clips::kNtscRate, clips::kUnknownDuration, clips::kRandomBytes});
    ASSERT_EQ(List().rowCount(), 5);
    EXPECT_EQ(List().Caption(0), QString::fromStdString(TestClipPath(clips::kMp4H264Aac)));
    EXPECT_EQ(RowValues(List(), 0), QStringList({"320x240", "25", "00:00:02", "MP4", "", "", "", ""}));
    EXPECT_EQ(RowValues(List(), 1), QStringList({" ", " ", "00:00:02", "MP4", "", "", "", ""}));  // audio only
    // With the user's decimal separator (tests/locale runs this under a German one).
    const QString ntsc_rate = QStringLiteral("29") + QLocale().decimalPoint() + QStringLiteral("97");
    EXPECT_EQ(RowValues(List(), 2), QStringList({"160x120", ntsc_rate, "00:00:02", "MP4", "", "", "", ""}));
    EXPECT_EQ(List().Value(3, TRowValue::Duration), "00:00:00");
    // Why the probe could not open it, in the row itself and in its hint.
    const QString why = List().Value(4, TRowValue::Details);
    EXPECT_EQ(RowValues(List(), 4), QStringList({"", "", "", "", "Error", "", "", why}));
    EXPECT_EQ(why, "its streams could not be read (could not find codec parameters)");
    EXPECT_EQ(List().RowHint(4), why);
    for (int row = 0; row < 5; ++row) EXPECT_TRUE(List().Checked(row)) << row;
    EXPECT_EQ(dialogs_.NameFilters.size(), 31);
    EXPECT_EQ(dialogs_.NameFilters.back(), "All Files (*) (*)");
}

TEST_F(WindowTest, AddingClearsProgressAndIsNotDisturbedByRemoveOrClear) {
    StartWindow();
    AddClips({mediagen::clips::kRandomBytes, mediagen::clips::kWavPcm});
    List().SetValue(1, TRowValue::Progress, "Done");
    List().SetValue(1, TRowValue::Frames, "50");
    List().selectRow(0);
    dialogs_.WhileOpenDialogShows = [this] {
        Form().DeleteSelectedItem1Click();
        Form().ClearAllItems1Click();
        Form().ButtonAddFileClick();  // a second Add is ignored
    };
    AddClips({mediagen::clips::kMp3Audio});
    ASSERT_EQ(List().rowCount(), 3);
    EXPECT_EQ(List().Value(0, TRowValue::Progress), "");
    EXPECT_EQ(List().Value(1, TRowValue::Progress), "");
    EXPECT_EQ(List().Value(1, TRowValue::Frames), "");
}

TEST_F(WindowTest, ListCommandsRemoveClearCheckAndUncheck) {
    StartWindow();
    AddClips({mediagen::clips::kWavPcm, mediagen::clips::kMp3Audio, mediagen::clips::kOddSize});
    List().selectRow(1);
    Form().DeleteSelectedItem1Click();
    ASSERT_EQ(List().rowCount(), 2);
    EXPECT_EQ(List().Caption(1), QString::fromStdString(TestClipPath(mediagen::clips::kOddSize)));
    Form().UncheckAllItems1Click();
    EXPECT_FALSE(List().Checked(0) || List().Checked(1));
    Form().CheckAllItems1Click();
    EXPECT_TRUE(List().Checked(0) && List().Checked(1));
    Form().ClearAllItems1Click();
    EXPECT_EQ(List().rowCount(), 0);
}

TEST_F(WindowTest, DroppedFoldersAddTheirSupportedFiles) {
    StartWindow();
    const auto dropped = folder_ / "dropped" / "inner";
    std::filesystem::create_directories(dropped);
    std::filesystem::copy_file(TestClipPath(mediagen::clips::kWavPcm), dropped / "b.wav");
    std::filesystem::copy_file(TestClipPath(mediagen::clips::kMp3Audio), folder_ / "dropped" / "a.mp3");
    std::ofstream(folder_ / "dropped" / "notes.txt") << "not media";
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString((folder_ / "dropped").string())),
                  QUrl::fromLocalFile(QString::fromStdString(TestClipPath(mediagen::clips::kOddSize)))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List().viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List().viewport(), &drop);
    ASSERT_EQ(List().rowCount(), 3);
    EXPECT_TRUE(List().Caption(0).endsWith("/dropped/a.mp3"));
    EXPECT_TRUE(List().Caption(1).endsWith("/dropped/inner/b.wav"));
    EXPECT_EQ(List().Value(2, TRowValue::VideoSize), "175x97");
}

// What phones, cameras, web sites and music libraries write: named on the command line, as a
// file manager's "Open With" does, as a folder and as single files (a relative name and a URL).
TEST_F(WindowTest, CommandLineFilesAndFoldersOfTodaysFormatsAreAdded) {
    StartWindow();
    const auto folder = folder_ / "today";
    std::filesystem::create_directories(folder);
    struct Made {
        const char* file;
        const char* format;
        const char* video_codec;  // empty: no picture
        const char* audio_codec;
        const char* video_size;
    };
    const Made made[] = {{"a.webm", "webm", "libvpx", "libopus", "64x48"},
                         {"b.ogv", "ogg", "libtheora", "libvorbis", "64x48"},
                         {"c.ts", "mpegts", "mpeg2video", "mp2", "64x48"},
                         {"d.flac", "flac", "", "flac", " "},
                         {"e.opus", "opus", "", "libopus", " "}};
    for (const Made& file : made) {
        mediagen::ClipDescription clip;
        clip.name = file.file;
        clip.format = file.format;
        if (*file.video_codec) clip.video = mediagen::VideoSpec{file.video_codec, 64, 48, {25, 1}, 10};
        clip.audio = {mediagen::AudioSpec{file.audio_codec, 48000, 2, 19200, 440}};
        ASSERT_NO_THROW(mediagen::Generate(clip, (folder / file.file).string())) << file.file;
    }
    std::filesystem::copy_file(TestClipPath(mediagen::clips::kMkvTwoAudioSubtitles), folder_ / "f.mkv");
    const auto started_in = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    const QString wav_url = QUrl::fromLocalFile(QString::fromStdString(TestClipPath(mediagen::clips::kWavPcm))).toString();
    const QStringList paths = ReadWindowCommandLine({QString::fromStdString(folder.string()), "f.mkv", wav_url}).Files;
    std::filesystem::current_path(started_in);
    Form().AddPaths(paths);
    ASSERT_EQ(List().rowCount(), 7);
    for (int row = 0; row < 5; ++row) {
        EXPECT_TRUE(List().Caption(row).endsWith(QString::fromLatin1("/today/") + made[row].file)) << row;
        EXPECT_EQ(List().Value(row, TRowValue::VideoSize), made[row].video_size) << made[row].file;
        EXPECT_EQ(List().Value(row, TRowValue::Duration), "00:00:00") << made[row].file;  // 0.4 s
    }
    EXPECT_EQ(List().Caption(5), QString::fromStdString((folder_ / "f.mkv").string()));
    EXPECT_EQ(List().Value(5, TRowValue::VideoSize), "320x240");
    EXPECT_EQ(List().Caption(6), QString::fromStdString(TestClipPath(mediagen::clips::kWavPcm)));
    EXPECT_EQ(List().Value(6, TRowValue::Duration), "00:00:02");
}

// Words that start with "-" are options, never files; "--" ends them.
TEST(WindowCommandLine, OptionsAreNeverFiles) {
    const QString here = QDir::currentPath() + "/";
    const struct {
        QStringList words;
        QStringList files;
        bool version;
        bool help;
        QString error;
    } cases[] = {
        {{"a.mp4", "--version"}, {here + "a.mp4"}, true, false, ""},
        {{"-h"}, {}, false, true, ""},
        {{"--frobnicate", "b.mkv", "-x"}, {here + "b.mkv"}, false, false, "unknown option '--frobnicate'"},
        {{"--", "--version", "-x"}, {here + "--version", here + "-x"}, false, false, ""},
    };
    for (const auto& c : cases) {
        const TWindowCommandLine command = ReadWindowCommandLine(c.words);
        EXPECT_EQ(command.Files, c.files) << c.words.join(' ').toStdString();
        EXPECT_EQ(command.ShowVersion, c.version);
        EXPECT_EQ(command.ShowHelp, c.help);
        EXPECT_EQ(command.Error, c.error);
    }
}

TEST_F(WindowTest, BrowseSetsTheChosenFolder) {
    StartWindow();
    dialogs_.FolderToChoose = "/tmp/chosen";
    Find<QAbstractButton>("ButtonBrowseForFolder")->click();
    EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text(), "/tmp/chosen");
    ASSERT_EQ(dialogs_.BrowseHeadlines.size(), 1u);
    EXPECT_EQ(dialogs_.BrowseHeadlines[0], "Choose the required output directory below :");
    dialogs_.FolderToChoose.reset();
    Form().ButtonBrowseForFolderClick();
    EXPECT_EQ(Find<QLineEdit>("EditOutputFolder")->text(), "/tmp/chosen");
}

}  // namespace
}  // namespace brenvale::testing
