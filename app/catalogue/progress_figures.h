// The share of a job done, as the list and the command line show it.
#pragma once

#include <cstdint>

namespace brenvale {

// current * 100 / total, truncated and limited to 0..100; -1 when the total is not known.
int ProgressPercent(std::int64_t current_ms, std::int64_t total_ms);

}  // namespace brenvale
