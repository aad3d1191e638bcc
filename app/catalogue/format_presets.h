// What the settings controls offer and preselect for each output format: data the window
// renders into its lists and the command line checks its values against.
#pragma once

#include <string>
#include <vector>

#include "app/catalogue/format_catalogue.h"

namespace brenvale {

// The items of one control and the one it preselects; an empty list selects nothing (-1).
struct TPresetList {
    std::vector<std::string> Items;
    int Selected = -1;

    // The preselected text; empty when nothing is selected.
    std::string SelectedText() const;
};

struct TFormatPreset {
    std::string Name;  // "Flash", "AVI", ... for messages
    TPresetList VideoCodec;
    TPresetList AudioCodec;
    TPresetList VideoSize;
    TPresetList VideoBitrate;
    TPresetList VideoFramerate;
    TPresetList AudioBitrate;
    TPresetList SamplingRate;
    // "Stereo", "Mono"; the formats of today keep the source's channels first ("Same as source").
    TPresetList AudioChannels;
};

// A fixed list that no preset changes; every preset selects its first item.
const std::vector<std::string>& AspectRatioItems();  // "Original", "4:3 (Standard", "16:9 (Wide Screen)"

// The preset of a catalogue entry's PresetKind; std::out_of_range for a kind no entry has.
const TFormatPreset& PresetForKind(int preset_kind);
inline const TFormatPreset& PresetFor(const TheAVCodec& entry) { return PresetForKind(entry.PresetKind); }

}  // namespace brenvale
