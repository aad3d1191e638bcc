// The converter component as the benchmarks drive it: loaded quietly, one listed job run to its end.
#pragma once

#include <chrono>
#include <functional>

#include "converter/converter.h"

namespace brenvale::bench {

// Prints the reason and returns false when the libraries do not load.
bool LoadQuietly(TConverter& converter);

// Starts the listed jobs one at a time and serves the main thread until the run ends, calling
// `each_wait` after every wait of at most `interval`. True when the last job finished.
bool RunJobsToTheEnd(TConverter& converter, std::chrono::milliseconds interval,
                     const std::function<void()>& each_wait = {});

}  // namespace brenvale::bench
