// The text that names a stream's codec in the probe's reports.
#pragma once

#include <string>

struct AVCodecParameters;

namespace brenvale {

// "name(long name)" of the decoder for the stream's codec id; without a decoder, what the
// codec id or the codec tag tells.
std::string codec_description(const AVCodecParameters& parameters);

}  // namespace brenvale
