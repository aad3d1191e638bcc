#include "cli/progress_line.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace brenvale::cli {
namespace {

std::string Clock(std::int64_t milliseconds) {
    const std::int64_t seconds = std::max<std::int64_t>(milliseconds, 0) / 1000;
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%" PRId64 ":%02" PRId64 ":%02" PRId64, seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64, seconds / 60, seconds % 60);
    }
    return text;
}

std::string Size(std::int64_t bytes) {
    char text[32];
    if (bytes < 1000000) {
        std::snprintf(text, sizeof text, "%" PRId64 " kB", bytes / 1000);
        return text;
    }
    // Rounded tenths by integer arithmetic: a "." whatever the locale.
    const std::int64_t tenths = (bytes + 50000) / 100000;
    std::snprintf(text, sizeof text, "%" PRId64 ".%" PRId64 " MB", tenths / 10, tenths % 10);
    return text;
}

}  // namespace

std::int64_t EstimateRemainingMs(std::int64_t elapsed_ms, std::int64_t done_ms, std::int64_t total_ms) {
    if (done_ms <= 0 || total_ms <= 0) return -1;
    return elapsed_ms * std::max<std::int64_t>(total_ms - done_ms, 0) / done_ms;
}

std::string FormatProgressLine(const std::string& name, const TProgressFigures& figures) {
    std::string line = name + "  " + (figures.Percent < 0 ? std::string("--") : std::to_string(figures.Percent)) + "%";
    if (figures.Frames >= 0) line += "  frame " + std::to_string(figures.Frames);
    if (figures.Fps >= 0) line += "  fps " + std::to_string(figures.Fps);
    line += "  " + Size(figures.SizeBytes) + "  elapsed " + Clock(figures.ElapsedMs);
    line += "  left " + (figures.RemainingMs < 0 ? std::string("--:--") : Clock(figures.RemainingMs));
    return line;
}

}  // namespace brenvale::cli
