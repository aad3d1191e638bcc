// Values an output stream derives from the pending settings: its sample aspect ratio, its
// rate-control overrides and the formats its encoder accepts.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace brenvale {

// The pixel shape that shows a width x height picture at `display_aspect` (width / height);
// without a size, the shape of a 4:3 picture. Terms up to 255.
AVRational output_sample_aspect_ratio(float display_aspect, int width, int height);

// "start,end,q" entries separated by "/": q > 0 is a quantiser, q <= 0 a quality factor of
// -q percent. Nothing when an entry lacks one of its three numbers.
std::optional<std::vector<RcOverride>> parse_rc_override(std::string_view text);

// `wanted` when the list (ending with -1) holds it or there is no list, else the list's first.
int supported_pixel_format(const AVPixelFormat* formats, int wanted);
// The full-range ("yuvj") twin of a limited-range YUV format when the list (ending with -1)
// holds it before `format` (the JPEG encoders refuse limited range); else `format`.
int preferred_range_format(const AVPixelFormat* formats, int format);
int supported_sample_format(const AVSampleFormat* formats, int wanted);

}  // namespace brenvale
