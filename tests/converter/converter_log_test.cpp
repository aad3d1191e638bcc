#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "binding/media_api.h"
#include "converter_fixture.h"

namespace brenvale {
namespace {

using testing::ConverterTest;
using testing::EventRecorder;
using testing::LogEvent;

std::vector<std::string> Messages(const std::vector<LogEvent>& events) {
    std::vector<std::string> messages;
    for (const LogEvent& event : events) messages.push_back(event.message);
    return messages;
}

class ConverterLogTest : public ConverterTest {
protected:
    void SetUp() override {
        ConverterTest::SetUp();
        converter_.SetLogLevel(TLogLevel::llInfo);
        // A run clears the pieces of lines that earlier tests left pending.
        converter_.StartJobs(0);
    }
    static void Log(const char* text) { ff::av_log(nullptr, AV_LOG_INFO, "%s", text); }
    // Logs from a thread of its own and returns when it is done.
    static void LogFromOtherThread(const char* text) { std::thread([text] { Log(text); }).join(); }
};

TEST_F(ConverterLogTest, PiecesOfALineFromOneThreadBecomeOneLine) {
    Log("abc");
    EXPECT_TRUE(events_.Logs().empty());
    Log("def\nghi\n\njk");
    const std::vector<LogEvent> logs = events_.Logs();
    EXPECT_EQ(Messages(logs), (std::vector<std::string>{"abcdef", "ghi", ""}));
    EXPECT_EQ(logs[0].index, -1) << "no job of the component wrote it";
    EXPECT_EQ(logs[0].level, TLogLevel::llInfo);
    Log("l\n");
    EXPECT_EQ(Messages(events_.Logs()).back(), "jkl");
}

TEST_F(ConverterLogTest, EachThreadAssemblesItsOwnLine) {
    Log("abc");
    LogFromOtherThread("def\n");
    EXPECT_EQ(Messages(events_.Logs()), std::vector<std::string>{"def"});
    LogFromOtherThread("xyz");
    Log("ghi\n");
    EXPECT_EQ(Messages(events_.Logs()), (std::vector<std::string>{"def", "abcghi"}));
}

TEST_F(ConverterLogTest, TheFirstPieceOfALineNamesItsContext) {
    AVFormatContext* context = ff::avformat_alloc_context();
    ff::av_log(context, AV_LOG_INFO, "abc");
    ff::av_log(context, AV_LOG_INFO, "def\n");
    ff::av_log(context, AV_LOG_INFO, "second\n");
    const AVClass* av_class = *reinterpret_cast<const AVClass* const*>(context);
    char prefix[128];
    std::snprintf(prefix, sizeof prefix, "[%s @ %08" PRIXPTR "]", av_class->item_name(context),
                  reinterpret_cast<std::uintptr_t>(av_class));
    ff::avformat_free_context(context);
    EXPECT_EQ(Messages(events_.Logs()),
              (std::vector<std::string>{std::string(prefix) + "abcdef", std::string(prefix) + "second"}));
}

TEST_F(ConverterLogTest, ACutMessageEndsItsLine) {
    const std::string long_text(3000, 'x');
    ff::av_log(nullptr, AV_LOG_INFO, "%s\n", long_text.c_str());
    Log("next\n");
    Log(long_text.substr(0, 2000).c_str());
    Log(long_text.c_str());
    EXPECT_EQ(Messages(events_.Logs()),
              (std::vector<std::string>{std::string(2047, 'x'), "next", std::string(2047, 'x')}));
}

struct ThresholdCase {
    TLogLevel component_level;
    int library_level;
    bool delivered;
    TLogLevel delivered_as;
};
void PrintTo(const ThresholdCase& threshold, std::ostream* out) {
    *out << "component " << static_cast<int>(threshold.component_level) << " library " << threshold.library_level;
}

class ThresholdTest : public ConverterTest, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(ThresholdTest, PassesMessagesUpToTheComponentsLevel) {
    converter_.SetLogLevel(GetParam().component_level);
    ff::av_log(nullptr, GetParam().library_level, "message\n");
    const std::vector<LogEvent> logs = events_.Logs();
    ASSERT_EQ(logs.size(), GetParam().delivered ? 1u : 0u);
    if (GetParam().delivered) {
        EXPECT_EQ(logs[0].level, GetParam().delivered_as);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Converter, ThresholdTest,
    ::testing::Values(ThresholdCase{TLogLevel::llQuiet, AV_LOG_QUIET, true, TLogLevel::llQuiet},
                      ThresholdCase{TLogLevel::llQuiet, AV_LOG_ERROR, false, {}},
                      ThresholdCase{TLogLevel::llError, AV_LOG_WARNING, true, TLogLevel::llError},
                      ThresholdCase{TLogLevel::llError, AV_LOG_INFO, false, {}},
                      ThresholdCase{TLogLevel::llInfo, AV_LOG_INFO, true, TLogLevel::llInfo},
                      ThresholdCase{TLogLevel::llInfo, AV_LOG_VERBOSE, false, {}},
                      ThresholdCase{TLogLevel::llDebug, AV_LOG_DEBUG, true, TLogLevel::llDebug},
                      ThresholdCase{TLogLevel::llAll, AV_LOG_TRACE, true, TLogLevel::llAll}));

TEST_F(ConverterLogTest, EveryLiveComponentGetsTheLine) {
    EventRecorder second_events;
    {
        TConverter second;
        second_events.Attach(second);
        Log("both\n");
    }
    Log("first only\n");
    EXPECT_EQ(Messages(events_.Logs()), (std::vector<std::string>{"both", "first only"}));
    EXPECT_EQ(Messages(second_events.Logs()), std::vector<std::string>{"both"});
}

TEST_F(ConverterLogTest, ManyThreadsNeverMixTheirLines) {
    constexpr int kThreads = 4;
    constexpr int kLines = 50;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int line = 0; line < kLines; ++line) {
                ff::av_log(nullptr, AV_LOG_INFO, "thread %d ", t);
                ff::av_log(nullptr, AV_LOG_INFO, "line %d\n", line);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::vector<int> next_line(kThreads, 0);
    const std::vector<LogEvent> logs = events_.Logs();
    ASSERT_EQ(logs.size(), static_cast<std::size_t>(kThreads * kLines));
    for (const LogEvent& event : logs) {
        int thread = -1;
        int line = -1;
        ASSERT_EQ(std::sscanf(event.message.c_str(), "thread %d line %d", &thread, &line), 2) << event.message;
        EXPECT_EQ(line, next_line[static_cast<std::size_t>(thread)]++);
    }
}

}  // namespace
}  // namespace brenvale
