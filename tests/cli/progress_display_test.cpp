#include "cli/progress_display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/progress_line.h"
#include "stream_contents.h"

namespace brenvale::cli {
namespace {

TEST(ProgressLineTest, FiguresAndUnknowns) {
    TProgressFigures figures;
    figures.Percent = 45;
    figures.Frames = 120;
    figures.Speed = "60 fps";
    figures.SizeBytes = 1'260'000;
    figures.ElapsedMs = 2'500;
    figures.RemainingMs = 3'100;
    EXPECT_EQ(FormatProgressLine("clip.mp4", figures),
              "clip.mp4  45%  frame 120  60 fps  1.3 MB  elapsed 00:02  left 00:03");
    EXPECT_EQ(FormatProgressLine("song.wav", {-1, -1, "", 345'000, 3'725'000, -1}),
              "song.wav  --%  345 kB  elapsed 1:02:05  left --:--");
}

TEST(ProgressDisplayTest, TheLiveBlockIsErasedLineByLineBeforeEachRedraw) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        TProgressDisplay display(file, true, 12);
        display.Show({"first file 10%", "second 20%"});
        display.Log("a warning");
        display.Show({"first file 30%"});
        display.Finish();
    }
    const std::string erase = "\x1b[1A\x1b[2K";
    EXPECT_EQ(Contents(file), "first file \nsecond 20%\n" + erase + erase + "a warning\nfirst file \nsecond 20%\n" +
                                  erase + erase + "first file \n" + erase);
    std::fclose(file);
}

TEST(ProgressDisplayTest, PlainLinesComeAtMostOnceASecond) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        TProgressDisplay display(file, false, 0);
        display.Show({});
        display.Show({"clip 10%"});
        display.Show({"clip 20%"});
        display.Log("a warning");
        display.Finish();
    }
    EXPECT_EQ(Contents(file), "clip 10%\na warning\n");
    std::fclose(file);
}

}  // namespace
}  // namespace brenvale::cli
