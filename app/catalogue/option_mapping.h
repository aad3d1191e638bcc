// How the settings controls' texts become the values of a job's output record.
#pragma once

#include <string>

#include "app/catalogue/control_texts.h"
#include "app/catalogue/format_catalogue.h"
#include "converter/option_records.h"

namespace brenvale {

// Writes the codecs, bit rates, sample rate, frame size, channels and the video switch of
// `entry` into `options`; other fields keep their values. A bit rate or sample rate text that
// is no integer raises std::invalid_argument.
void MapControlsToOptions(const TheAVCodec& entry, const TControlTexts& texts, TOutputOptions& options);

// The frame-rate text of the record: "25" for "Auto", else the text before its first blank
// ("15.0 fps" gives "15.0"); empty for an empty control.
std::string FrameRateText(const std::string& frame_rate_control);

// The encoder and size names behind single control texts.
std::string VideoEncoderName(const std::string& codec_text);
std::string AudioEncoderName(const std::string& codec_text);
// Empty for "Original Video Size" (the source's size), else "WxH".
std::string FrameSizeText(const std::string& size_text);

}  // namespace brenvale
