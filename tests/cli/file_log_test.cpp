// Which file a log line belongs to, and how each file's warnings are told.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "cli/file_log.h"
#include "stream_contents.h"

namespace brenvale::cli {
namespace {

// A display writing to a file, read back after each step.
class FileLogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(file_, nullptr); }
    void TearDown() override { std::fclose(file_); }
    // Runs `work` on a thread of its own, as a job or a codec thread logs.
    static void OnAnotherThread(const std::function<void()>& work) { std::thread(work).join(); }

    std::FILE* file_ = std::tmpfile();
    TProgressDisplay display_{file_, false, 0};
};

TEST(ReadableLogLine, TheContextKeepsItsNameWithoutTheAddress) {
    const std::pair<const char*, const char*> cases[] = {
        {"[ogg @ 7F12A0B0]Broken file, keyframe not correctly marked.", "[ogg] Broken file, keyframe not correctly marked."},
        {"[matroska,webm @ 0x55d0] Element exceeds", "[matroska,webm] Element exceeds"},
        {"Error while decoding stream #0.0", "Error while decoding stream #0.0"},
        {"[no address] here", "[no address] here"},
        {"[aac @ 7F]", "[aac]"},
    };
    for (const auto& [line, readable] : cases) EXPECT_EQ(ReadableLogLine(line), readable) << line;
}

TEST_F(FileLogTest, EachDistinctWarningOnceWithItsCountWhenTheFileEnds) {
    TFileLog log(display_, false, 1);
    log.Preparing(0, "clip.ogg");
    log.Running(0);
    OnAnotherThread([&] {
        for (int packet = 0; packet < 37; ++packet) {
            log.Heard(0, 0, TLogLevel::llError, "[ogg @ 7F00]Broken file, keyframe not correctly marked.");
            if (packet == 3) log.Heard(0, 0, TLogLevel::llError, "[vorbis @ 7F10]Header missing");
        }
        log.Heard(0, 0, TLogLevel::llInfo, "Stream mapping:");
        log.Heard(0, 0, TLogLevel::llQuiet, "the job's fatal error, which the final report gives");
    });
    EXPECT_EQ(Contents(file_), "") << "nothing before the file ends";
    log.Ended(0);
    EXPECT_EQ(Contents(file_),
              "clip.ogg: [ogg] Broken file, keyframe not correctly marked. (37 times)\n"
              "clip.ogg: [vorbis] Header missing\n");
}

TEST_F(FileLogTest, VerboseTellsEveryLineAsItComes) {
    TFileLog log(display_, true, 1);
    log.Preparing(0, "clip.ogg");
    log.Running(0);
    OnAnotherThread([&] {
        log.Heard(0, 0, TLogLevel::llError, "[ogg @ 7F00]Broken file");
        log.Heard(0, 0, TLogLevel::llError, "[ogg @ 7F00]Broken file");
        log.Heard(0, 0, TLogLevel::llInfo, "Stream mapping:");
        log.Heard(0, 0, TLogLevel::llQuiet, "fatal");
    });
    log.Ended(0);
    EXPECT_EQ(Contents(file_), "clip.ogg: [ogg] Broken file\nclip.ogg: [ogg] Broken file\nclip.ogg: Stream mapping:\n");
}

TEST_F(FileLogTest, LinesGoToTheFileOfTheJobThePreparationOrTheOnlyRunningFile) {
    TFileLog log(display_, false, 2);
    log.Preparing(0, "first.mp4");
    log.Running(0);
    // The second file is being opened on this (the owner's) thread while the first one runs.
    log.Preparing(1, "second.mkv");
    for (int slot : {0, 1}) log.Heard(slot, -1, TLogLevel::llError, "opening the second");
    // A codec thread of the first job, which no component knows: the first is the only one running.
    OnAnotherThread([&] {
        for (int slot : {0, 1}) log.Heard(slot, -1, TLogLevel::llError, "from a codec thread");
    });
    log.Running(1);
    OnAnotherThread([&] {
        // The second job's own thread: only its component names the job.
        log.Heard(0, -1, TLogLevel::llError, "the second's job thread");
        log.Heard(1, 0, TLogLevel::llError, "the second's job thread");
        // Two files run: a line no component knows belongs to neither.
        for (int slot : {0, 1}) log.Heard(slot, -1, TLogLevel::llError, "from an unknown thread");
    });
    // The owner's thread outside any preparation (clearing a job) tells nothing of a file.
    for (int slot : {0, 1}) log.Heard(slot, -1, TLogLevel::llError, "clearing");
    log.Ended(0);
    log.Ended(1);
    EXPECT_EQ(Contents(file_),
              "first.mp4: from a codec thread\n"
              "second.mkv: opening the second\n"
              "second.mkv: the second's job thread\n");
    log.Heard(0, 0, TLogLevel::llError, "after the end");
    EXPECT_EQ(Contents(file_).find("after the end"), std::string::npos) << "a free slot has no file";
}

TEST_F(FileLogTest, EndlesslyDifferentWarningsAreCountedBeyondTheFirstHundred) {
    TFileLog log(display_, false, 1);
    log.Preparing(0, "broken.mp4");
    log.Running(0);
    OnAnotherThread([&] {
        for (int block = 0; block < 130; ++block)
            log.Heard(0, 0, TLogLevel::llError, "[h264 @ 7F]error while decoding MB " + std::to_string(block));
    });
    log.Ended(0);
    const std::string text = Contents(file_);
    EXPECT_NE(text.find("broken.mp4: [h264] error while decoding MB 99\n"), std::string::npos);
    EXPECT_EQ(text.find("MB 100\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("broken.mp4: 30 more warnings (--verbose shows every one)\n"));
}

}  // namespace
}  // namespace brenvale::cli
