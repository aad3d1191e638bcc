#include "common/log_levels.h"

#include <atomic>

extern "C" {
#include <libavutil/log.h>
}

namespace brenvale {
namespace {

std::atomic<int> log_threshold{1};

}  // namespace

int LibraryLogLevel(int program_level) {
    if (program_level < 0) return AV_LOG_QUIET;
    switch (program_level) {
        case 0: return AV_LOG_WARNING;
        case 1: return AV_LOG_INFO;
        case 2: return AV_LOG_DEBUG;
        default: return AV_LOG_TRACE;
    }
}

int ProgramLogLevel(int library_level) {
    if (library_level < AV_LOG_PANIC) return -1;
    if (library_level <= AV_LOG_WARNING) return 0;
    if (library_level <= AV_LOG_INFO) return 1;
    if (library_level <= AV_LOG_DEBUG) return 2;
    return 3;
}

void SetLogThreshold(int program_level) { log_threshold.store(program_level); }

int LogThreshold() { return log_threshold.load(); }

}  // namespace brenvale
