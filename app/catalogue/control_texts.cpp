#include "app/catalogue/control_texts.h"

namespace brenvale {

TControlTexts PresetSelections(const TFormatPreset& preset) {
    TControlTexts texts;
    texts.VideoCodec = preset.VideoCodec.SelectedText();
    texts.AudioCodec = preset.AudioCodec.SelectedText();
    texts.VideoSize = preset.VideoSize.SelectedText();
    texts.VideoBitrate = preset.VideoBitrate.SelectedText();
    texts.VideoFramerate = preset.VideoFramerate.SelectedText();
    texts.AudioBitrate = preset.AudioBitrate.SelectedText();
    texts.AudioChannels = preset.AudioChannels.SelectedText();
    texts.SamplingRate = preset.SamplingRate.SelectedText();
    return texts;
}

}  // namespace brenvale
