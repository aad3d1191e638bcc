// Rows of probed files, the list commands, dropped files and the output folder.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <fstream>

#include "tests/support/test_media.h"
#include "tools/clip_catalogue.h"
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
    EXPECT_EQ(RowValues(List(), 0), QStringList({"320x240", "25", "00:00:02", "SWF", "", "", ""}));
    EXPECT_EQ(RowValues(List(), 1), QStringList({" ", " ", "00:00:02", "SWF", "", "", ""}));  // audio only
    EXPECT_EQ(RowValues(List(), 2), QStringList({"160x120", "29.97", "00:00:02", "SWF", "", "", ""}));
    EXPECT_EQ(List().Value(3, TRowValue::Duration), "00:00:00");
    EXPECT_EQ(RowValues(List(), 4), QStringList({"", "", "", "", "Error", "", ""}));
    EXPECT_FALSE(List().RowHint(4).isEmpty());
    for (int row = 0; row < 5; ++row) EXPECT_TRUE(List().Checked(row)) << row;
    EXPECT_EQ(dialogs_.NameFilters.size(), 24);
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
