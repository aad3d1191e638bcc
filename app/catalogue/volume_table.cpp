#include "app/catalogue/volume_table.h"

#include <stdexcept>

namespace brenvale {

// Not uniform: 0 % is 1 rather than silence, and 200 % is 600.
const std::array<TVolumeStep, 11>& VolumeSteps() {
    static const std::array<TVolumeStep, 11> steps = {{
        {"0%", 1},
        {"20%", 50},
        {"40%", 100},
        {"60%", 150},
        {"80%", 200},
        {"100%", 256},
        {"120%", 300},
        {"140%", 350},
        {"160%", 400},
        {"180%", 450},
        {"200%", 600},
    }};
    return steps;
}

const TVolumeStep& VolumeStep(int position) {
    if (position < 0 || position >= static_cast<int>(VolumeSteps().size()))
        throw std::out_of_range("no volume position " + std::to_string(position));
    return VolumeSteps()[static_cast<std::size_t>(position)];
}

}  // namespace brenvale
