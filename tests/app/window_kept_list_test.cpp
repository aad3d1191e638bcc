// The file list kept between starts: every change is written at once, the next start brings
// it back as it was.
#include <QDir>
#include <QFile>

#include "app/window/stored_list.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

// Each row as "checked|progress|details|video size|output".
QStringList Rows(TListView& list) {
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row) {
        rows << QStringLiteral("%1|%2|%3|%4|%5")
                    .arg(list.Checked(row))
                    .arg(list.Value(row, TRowValue::Progress), list.Value(row, TRowValue::Details),
                         list.Value(row, TRowValue::VideoSize), QFileInfo(list.RowOutput(row)).fileName());
    }
    return rows;
}

TEST_F(WindowTest, EveryChangeOfTheListIsKeptForTheNextStart) {
    StartWindow();
    ChooseFormat(1);
    UseOutputFolder();
    AddClips({clips::kRandomBytes, clips::kWavPcm, clips::kMp4H264Aac});
    List().SetChecked(2, false);  // as a click does
    ASSERT_TRUE(ConvertAndWait());
    const QStringList converted = Rows(List());
    ASSERT_EQ(converted.size(), 3);
    EXPECT_EQ(converted[0], "1|Fail|its streams could not be read (could not find codec parameters)||");
    EXPECT_TRUE(converted[1].startsWith("1|Done|took 00:0")) << converted[1].toStdString();
    EXPECT_TRUE(converted[1].endsWith("| |wav_pcm.flv")) << converted[1].toStdString();
    EXPECT_EQ(converted[2], "0|||320x240|");

    form_.reset();
    StartWindow();
    EXPECT_EQ(Rows(List()), converted);
    // The facts the list does not show come back too: the restored row converts as it did.
    EXPECT_EQ(List().RowData(2).value<TSourceRow>().Streams.AudioTracks, 1);

    Form().CheckAllItems1Click();
    List().selectRow(0);
    Form().DeleteSelectedItem1Click();
    form_.reset();
    StartWindow();
    ASSERT_EQ(List().rowCount(), 2);
    EXPECT_TRUE(List().Checked(1));
    EXPECT_TRUE(List().Caption(0).endsWith("wav_pcm.wav"));

    Form().ClearAllItems1Click();
    form_.reset();
    StartWindow();
    EXPECT_EQ(List().rowCount(), 0);
    // Written whole under a temporary name: nothing but the list is left beside it.
    EXPECT_EQ(QDir(QFileInfo(StoredListPath()).path()).entryList(QDir::Files), QStringList{"file-list.json"});
}

TEST_F(WindowTest, AnUnreadableKeptListStartsEmpty) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(StoredListPath()).path()));
    QFile damaged(StoredListPath());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"version\": 1, \"rows\": [{\"path\": ");
    damaged.close();
    StartWindow();
    EXPECT_EQ(List().rowCount(), 0);
}

}  // namespace
}  // namespace brenvale::testing
