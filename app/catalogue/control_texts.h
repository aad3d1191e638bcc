// The texts the settings controls show: what the option mapping reads.
#pragma once

#include <string>

#include "app/catalogue/format_presets.h"

namespace brenvale {

struct TControlTexts {
    std::string VideoCodec;
    std::string AudioCodec;
    std::string VideoSize;
    std::string VideoBitrate;
    std::string VideoFramerate;
    std::string AudioBitrate;
    std::string AudioChannels;
    std::string SamplingRate;
};

// The texts of a preset's selections; empty for emptied lists.
TControlTexts PresetSelections(const TFormatPreset& preset);

}  // namespace brenvale
