// The libraries' own rate control (that of the MPEG-1, MPEG-2, MPEG-4, H.263, FLV and WMV
// encoders) ends the process on two settings a job can give it: its second pass frees its rate
// expression twice when it cannot reach the bit rate the encoder is given, and a smallest
// quantiser (lmin) above the largest (lmax) fails an assertion. This tells both beforehand; the
// second pass from the first pass's statistics.
#pragma once

#include <optional>
#include <string>

struct AVCodec;
struct AVCodecContext;

namespace brenvale {

// The least bit rate at which `codec` may open with `encoder` (second-pass flag, statistics, frame
// rate and rate-control settings set); 0 when it opens at any, as without a second pass, without
// that rate control, or without statistics it can read (the library then refuses them itself).
double second_pass_least_bit_rate(const AVCodec& codec, const AVCodecContext& encoder);

// The reason to refuse opening `codec` with `encoder`; nothing when it may open.
std::optional<std::string> rate_control_refusal(const AVCodec& codec, const AVCodecContext& encoder);

}  // namespace brenvale
