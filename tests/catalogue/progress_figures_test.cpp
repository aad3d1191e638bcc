#include "app/catalogue/progress_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace brenvale {
namespace {

constexpr std::int64_t kReportMs = 250;

// A job of `total_ms` media time reported every 250 ms: `done_at` gives the media time done at
// a wall time; 25 pictures a media second.
struct TJob {
    std::int64_t total_ms;
    std::function<double(std::int64_t elapsed_ms)> done_at;
};

// Every time left told, by wall time, until the job is done.
std::vector<std::pair<std::int64_t, std::int64_t>> TimesLeft(const TJob& job, TProgressClock& clock) {
    std::vector<std::pair<std::int64_t, std::int64_t>> told;
    for (std::int64_t elapsed = 0;; elapsed += kReportMs) {
        const auto done = static_cast<std::int64_t>(std::min<double>(job.done_at(elapsed), job.total_ms));
        clock.Report(elapsed, done, job.total_ms, done / 40);
        if (const auto left = clock.RemainingMs()) told.emplace_back(elapsed, *left);
        if (done >= job.total_ms) return told;
    }
}

TEST(ProgressClockTest, NothingIsToldBeforeASecondOfMediaTimeDone) {
    TProgressClock clock;
    clock.Report(0, 0, 60'000, 0);
    clock.Report(3'000, 0, 60'000, 0);  // the encoder still fills its look-ahead
    clock.Report(3'250, 500, 60'000, 12);
    clock.Report(4'000, 2'000, 60'000, 50);
    EXPECT_FALSE(clock.Speed());
    EXPECT_FALSE(clock.FramesPerSecond());
    EXPECT_FALSE(clock.RemainingMs());
    EXPECT_EQ(SpeedText(clock), "");
    clock.Report(4'250, 2'500, 60'000, 62);
    ASSERT_TRUE(clock.Speed());
    EXPECT_DOUBLE_EQ(*clock.Speed(), 2.0) << "measured from the first media time done, not from the start";
    EXPECT_NEAR(*clock.RemainingMs(), (60'000 - 2'500) / 2, 1);
    EXPECT_EQ(SpeedText(clock), "50 fps");
}

// The time left counts down with the clock, without jumps, whether the job starts slowly,
// changes its pace or stalls for a moment; at a steady pace the first one told is right within
// a tenth.
TEST(ProgressClockTest, TheTimeLeftCountsDownSmoothly) {
    const struct {
        const char* name;
        TJob job;
        bool steady;
    } jobs[] = {
        {"steady, after a slow start", {120'000, [](std::int64_t t) { return t < 4'000 ? 0.0 : (t - 4'000) * 3.0; }}, true},
        {"twice as slow in its second half",
         {60'000, [](std::int64_t t) { return t < 10'000 ? t * 3.0 : 30'000 + (t - 10'000) * 1.5; }},
         false},
        // The sound's first packets come after the pictures': the least advanced stream falls back.
        {"a second stream joining late",
         {60'000, [](std::int64_t t) { return t < 500 ? t * 5.0 : (t - 400) * 2.0; }},
         true},
        {"a stall of a second every five",
         {60'000, [](std::int64_t t) { return (t - t / 5'000 * 1'000 - std::max<std::int64_t>(t % 5'000 - 4'000, 0)) * 2.0; }},
         false},
    };
    for (const auto& [name, job, steady] : jobs) {
        SCOPED_TRACE(name);
        TProgressClock clock;
        const auto told = TimesLeft(job, clock);
        ASSERT_GT(told.size(), 10u);
        const std::int64_t end_ms = told.back().first;
        for (std::size_t i = 1; i < told.size(); ++i) {
            const std::int64_t change = told[i].second - told[i - 1].second;
            const std::int64_t passed = std::min(kReportMs, told[i - 1].second);
            // Down by about the time passed, never up or down by much more.
            EXPECT_LE(std::abs(change + passed), kReportMs / 2 + told[i - 1].second / 25)
                << "at " << told[i].first << " ms: " << told[i - 1].second << " then " << told[i].second;
        }
        const auto [first_ms, first_left] = told.front();
        if (steady) {
            EXPECT_LT(std::abs(first_left - (end_ms - first_ms)), (end_ms - first_ms) / 10) << first_left;
        }
        EXPECT_LT(told.back().second, 1'000);
    }
}

TEST(ProgressClockTest, SoundIsToldInTimesRealTimeAndClocksInMinutesOrHours) {
    TProgressClock sound;
    sound.Report(0, 100, 0);
    sound.Report(1'000, 12'500, 0);
    EXPECT_EQ(SpeedText(sound), "12.4x") << "no pictures: times real time";
    EXPECT_FALSE(sound.RemainingMs()) << "no total known";
    EXPECT_EQ(ClockText(42'900), "00:42");
    EXPECT_EQ(ClockText(725'000), "12:05");
    EXPECT_EQ(ClockText(3'986'000), "1:06:26");
    EXPECT_EQ(ClockText(-5), "00:00");
}

}  // namespace
}  // namespace brenvale
