// A preset's value lists as they stand for the codecs chosen: they offer only the frame rates,
// sampling rates and audio bit rates the chosen encoders take, so every value offered converts.
#pragma once

#include "app/catalogue/control_texts.h"
#include "app/catalogue/format_presets.h"

namespace brenvale {

// `chosen` holds the texts chosen so far: the codecs, the sampling rate and the selections to
// keep. Each list selects the chosen text when it offers it, else the offered value nearest to
// it, else the preset's selection (the bit rates follow the sampling rate so selected). A codec
// that copies its stream ("Copy") leaves only "Same as source" in the lists of that stream.
TFormatPreset PresetForCodecs(const TFormatPreset& preset, const TControlTexts& chosen);

// The preset's lists for its own codec choice, with its own selections where they are offered.
TFormatPreset PresetForDefaultCodecs(const TFormatPreset& preset);

}  // namespace brenvale
