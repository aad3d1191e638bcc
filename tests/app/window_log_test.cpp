// The Conversion Log window: the warnings and errors of a run first, then the lines of every
// job folded under its file, newest last.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTreeWidget>
#include <QPushButton>

#include <thread>

#include "app/window/conversion_log.h"
#include "app/window/form_log.h"
#include "app/window/secondary_windows.h"
#include "tools/clip_catalogue.h"
#include "window_fixture.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

// The position of the first line that starts with `prefix`, or -1.
QStringList Texts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int child = 0; child < item->childCount(); ++child) texts << item->child(child)->text(0);
    return texts;
}

int FirstLineOf(const std::deque<QString>& lines, const QString& prefix) {
    for (std::size_t line = 0; line < lines.size(); ++line)
        if (lines[line].startsWith(prefix)) return static_cast<int>(line);
    return -1;
}

TEST_F(WindowTest, TheConversionLogShowsTheLinesOfEveryJobWithItsFileAndCopiesThem) {
    StartWindow();
    const TSecondaryWindows windows = CreateSecondaryWindows(Form());
    ChooseFormat(1);  // FLV
    UseOutputFolder();
    AddClips({clips::kRandomBytes, clips::kWavPcm});
    Form().ButtonConvertClick();
    // Opened during the run: it changes nothing of it.
    ASSERT_TRUE(Find<QAction>("ConversionLog1")->isEnabled());
    Find<QAction>("ConversionLog1")->trigger();
    ASSERT_TRUE(windows.FormLog->isVisible());
    EXPECT_EQ(windows.FormLog->windowTitle(), "Conversion Log");
    ASSERT_TRUE(WaitFor([this] { return !Form().RunActive() && !Form().Converting(); }));
    ASSERT_EQ(List().Value(0, TRowValue::Progress), "Fail");
    ASSERT_EQ(List().Value(1, TRowValue::Progress), "Done");
    QCoreApplication::processEvents();

    const std::deque<QString> lines = Form().ConversionLog().Lines();
    const int failed = FirstLineOf(lines, "random_bytes.dat: Fail: ");
    const int converted = FirstLineOf(lines, "wav_pcm.wav: ");
    ASSERT_GE(failed, 0) << Form().ConversionLog().Text().toStdString();
    ASSERT_GE(converted, 0);
    EXPECT_LT(failed, converted) << "newest last";
    // The failed row shows why in the row, in a user's words, and the log has the library's.
    EXPECT_EQ(List().Value(0, TRowValue::Details), "its streams could not be read (could not find codec parameters)");
    EXPECT_EQ(List().RowHint(0), List().Value(0, TRowValue::Details));
    EXPECT_TRUE(lines[static_cast<std::size_t>(failed)].endsWith("random_bytes.dat: could not find codec parameters"));
    // The engine's own lines of the job: its stream mapping.
    EXPECT_GE(FirstLineOf(lines, "wav_pcm.wav:   Stream #0.0 -> #0.0"), converted);
    EXPECT_TRUE(lines.back().startsWith("wav_pcm.wav: video:")) << "the summary, without its line end";

    // The failure first; each file's lines folded under it, as they came.
    auto* tree = windows.FormLog->findChild<QTreeWidget*>("TreeLog");
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    const QTreeWidgetItem* problems = tree->topLevelItem(0);
    EXPECT_TRUE(problems->text(0).startsWith("Warnings and errors (")) << problems->text(0).toStdString();
    EXPECT_TRUE(problems->isExpanded());
    EXPECT_TRUE(Texts(problems).contains(lines[static_cast<std::size_t>(failed)]));
    const QTreeWidgetItem* converted_file = tree->topLevelItem(2);
    EXPECT_EQ(converted_file->text(0), "wav_pcm.wav");
    EXPECT_FALSE(converted_file->isExpanded());
    EXPECT_TRUE(Texts(converted_file).back().startsWith("video:"));
    EXPECT_EQ(Texts(tree->topLevelItem(1)).size() + Texts(converted_file).size(), static_cast<int>(lines.size()));
    windows.FormLog->findChild<QPushButton*>("ButtonCopy")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), Form().ConversionLog().Text().toStdString());

    // A new run starts a new log.
    List().SetChecked(0, false);
    ASSERT_TRUE(ConvertAndWait());
    QCoreApplication::processEvents();
    EXPECT_EQ(FirstLineOf(Form().ConversionLog().Lines(), "random_bytes.dat: "), -1);
    EXPECT_EQ(FirstLineOf(Form().ConversionLog().Lines(), "wav_pcm.wav: "), 0);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "wav_pcm.wav");
}

TEST(ConversionLog, LinesFromAnyThreadArriveInOrderAndTheOldestGoBeyondTheLimit) {
    TConversionLog log;
    constexpr int kMore = 25;
    std::thread writer([&log] {
        for (int line = 0; line < TConversionLog::kMaxLines + kMore; ++line)
            log.Append("/media/clip.mp4", QString::number(line));
    });
    writer.join();
    QCoreApplication::processEvents();
    ASSERT_EQ(log.Lines().size(), static_cast<std::size_t>(TConversionLog::kMaxLines));
    EXPECT_EQ(log.Lines().front(), QStringLiteral("clip.mp4: %1").arg(kMore));
    EXPECT_EQ(log.Lines().back(), QStringLiteral("clip.mp4: %1").arg(TConversionLog::kMaxLines + kMore - 1));
}

}  // namespace
}  // namespace brenvale::testing
