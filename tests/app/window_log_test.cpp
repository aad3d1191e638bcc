// The Conversion Log window: the lines of every job of a run with their files, newest last.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
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
    Find<QAction>("ConversionLog1")->trigger();
    ASSERT_TRUE(windows.FormLog->isVisible());
    EXPECT_EQ(windows.FormLog->windowTitle(), "Conversion Log");
    ASSERT_TRUE(ConvertAndWait());
    ASSERT_EQ(List().Value(0, TRowValue::Progress), "Fail");
    ASSERT_EQ(List().Value(1, TRowValue::Progress), "Done");
    QCoreApplication::processEvents();

    const std::deque<QString>& lines = Form().ConversionLog().Lines();
    const int failed = FirstLineOf(lines, "random_bytes.dat: Fail: ");
    const int converted = FirstLineOf(lines, "wav_pcm.wav: ");
    ASSERT_GE(failed, 0) << Form().ConversionLog().Text().toStdString();
    ASSERT_GE(converted, 0);
    EXPECT_LT(failed, converted) << "newest last";
    // The failed row keeps its reason in its tooltip, as the log tells it.
    EXPECT_EQ(lines[static_cast<std::size_t>(failed)].toStdString(),
              ("random_bytes.dat: Fail: " + List().RowHint(0)).toStdString());
    // The engine's own lines of the job: its stream mapping.
    EXPECT_GE(FirstLineOf(lines, "wav_pcm.wav:   Stream #0.0 -> #0.0"), converted);
    EXPECT_TRUE(lines.back().startsWith("wav_pcm.wav: video:")) << "the summary, without its line end";

    auto* memo = windows.FormLog->findChild<QPlainTextEdit*>("MemoLog");
    EXPECT_EQ((memo->toPlainText() + '\n').toStdString(), Form().ConversionLog().Text().toStdString());
    windows.FormLog->findChild<QPushButton*>("ButtonCopy")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), Form().ConversionLog().Text().toStdString());

    // A new run starts a new log.
    List().SetChecked(0, false);
    ASSERT_TRUE(ConvertAndWait());
    QCoreApplication::processEvents();
    EXPECT_EQ(FirstLineOf(Form().ConversionLog().Lines(), "random_bytes.dat: "), -1);
    EXPECT_EQ(FirstLineOf(Form().ConversionLog().Lines(), "wav_pcm.wav: "), 0);
    EXPECT_EQ((memo->toPlainText() + '\n').toStdString(), Form().ConversionLog().Text().toStdString());
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
