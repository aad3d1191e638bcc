#include "cli/progress_line.h"

#include "app/catalogue/progress_figures.h"

#include <cinttypes>
#include <cstdio>

namespace brenvale::cli {
namespace {

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

std::string FormatProgressLine(const std::string& name, const TProgressFigures& figures) {
    std::string line = name + "  " + (figures.Percent < 0 ? std::string("--") : std::to_string(figures.Percent)) + "%";
    if (figures.Frames >= 0) line += "  frame " + std::to_string(figures.Frames);
    if (!figures.Speed.empty()) line += "  " + figures.Speed;
    line += "  " + Size(figures.SizeBytes) + "  elapsed " + ClockText(figures.ElapsedMs);
    line += "  left " + (figures.RemainingMs < 0 ? std::string("--:--") : ClockText(figures.RemainingMs));
    return line;
}

}  // namespace brenvale::cli
