#include "common/log_levels.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

namespace brenvale {
namespace {

TEST(LogLevelsTest, LibraryLevelsFallIntoTheProgramScale) {
    const struct {
        int library_level;
        int program_level;
    } cases[] = {
        {AV_LOG_QUIET, -1}, {AV_LOG_PANIC, 0}, {AV_LOG_FATAL, 0},   {AV_LOG_ERROR, 0},  {AV_LOG_WARNING, 0},
        {AV_LOG_INFO, 1},   {AV_LOG_VERBOSE, 2}, {AV_LOG_DEBUG, 2}, {AV_LOG_TRACE, 3},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramLogLevel(c.library_level), c.program_level) << c.library_level;
}

TEST(LogLevelsTest, EveryProgramLevelSurvivesTheRoundTrip) {
    for (int level = -1; level <= 3; ++level) EXPECT_EQ(ProgramLogLevel(LibraryLogLevel(level)), level);
    EXPECT_EQ(LibraryLogLevel(-5), AV_LOG_QUIET);
    EXPECT_EQ(LibraryLogLevel(9), AV_LOG_TRACE);
}

}  // namespace
}  // namespace brenvale
