#include "common/core_count.h"

#include <sched.h>

#include <algorithm>
#include <thread>

namespace brenvale {

int CoreCount() {
    // A process confined to some cores (taskset, containers) counts only those.
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (sched_getaffinity(0, sizeof cores, &cores) == 0) return std::max(1, CPU_COUNT(&cores));
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace brenvale
