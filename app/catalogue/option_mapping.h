// How the settings controls' texts become the values of a job's output record.
#pragma once

#include <string>

#include "app/catalogue/control_texts.h"
#include "app/catalogue/format_catalogue.h"
#include "converter/option_records.h"

namespace brenvale {

// Writes the codecs, bit rates or constant quality, sample rate, frame size, channels and the
// video switch of `entry` into `options`; other fields keep their values. "Same as source", an
// empty audio bit rate (a lossless codec) and a height ("720p", sized per source) leave their
// fields unset; "Copy" becomes the codec "copy". A bit rate or sample rate text that is no integer raises std::invalid_argument.
void MapControlsToOptions(const TheAVCodec& entry, const TControlTexts& texts, TOutputOptions& options);

// The frame-rate text of the record: "25" for "Auto", empty for "Same as source" (the source's
// own rate), else the text before its first blank ("15.0 fps" gives "15.0"); empty for an
// empty control.
std::string FrameRateText(const std::string& frame_rate_control);

// The encoder and size names behind single control texts.
std::string VideoEncoderName(const std::string& codec_text);
std::string AudioEncoderName(const std::string& codec_text);
// Empty for "Original Video Size", "Original" and "Same as source" (the source's size), else
// "WxH"; a height stays as it is ("720p").
std::string FrameSizeText(const std::string& size_text);
// 720 for "720p"; 0 for any other text.
int HeightOf(const std::string& size_text);
// "Original" and the heights: sizes that keep the source's shape (job_options.h).
bool KeepsSourceShape(const std::string& size_text);
// 20 for "RF 20 (high)"; -1 for a text that is no rate factor.
int RateFactorOf(const std::string& video_rate_text);

// "Same as source": the source's own frame rate or sampling rate.
extern const char kSameAsSource[];

}  // namespace brenvale
