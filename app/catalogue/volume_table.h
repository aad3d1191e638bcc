// The volume control's eleven positions: the label each shows and the volume the jobs get
// (256 leaves the source volume unchanged).
#pragma once

#include <array>
#include <string>

namespace brenvale {

struct TVolumeStep {
    std::string Label;  // "100%"
    int VolumeValue = 256;
};

inline constexpr int kDefaultVolumePosition = 5;  // "100%"

const std::array<TVolumeStep, 11>& VolumeSteps();
// The step of a position 0..10; std::out_of_range otherwise.
const TVolumeStep& VolumeStep(int position);

}  // namespace brenvale
