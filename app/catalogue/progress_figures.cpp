#include "app/catalogue/progress_figures.h"

#include <algorithm>

namespace brenvale {

int ProgressPercent(std::int64_t current_ms, std::int64_t total_ms) {
    if (total_ms <= 0) return -1;
    return static_cast<int>(std::clamp<std::int64_t>(current_ms * 100 / total_ms, 0, 100));
}

}  // namespace brenvale
