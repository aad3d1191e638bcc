#include "engine/output_stream_values.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "binding/media_api.h"
#include "engine/option_numbers.h"

namespace brenvale {
namespace {

constexpr int kLargestAspectTerm = 255;

// A leading integer at `position`; with `separated`, the one character after it is skipped and
// must exist.
bool read_override_number(std::string_view text, std::size_t& position, int& value, bool separated) {
    std::size_t consumed = 0;
    const std::int64_t number = LeadingInt(text.substr(position), consumed);
    if (consumed == 0) return false;
    position += consumed;
    value = static_cast<int>(std::clamp<std::int64_t>(number, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
    if (!separated) return true;
    if (position >= text.size()) return false;
    ++position;
    return true;
}

template <typename Format>
int supported_format(const Format* formats, int wanted) {
    if (!formats) return wanted;
    for (const Format* format = formats; *format != -1; ++format) {
        if (*format == wanted) return wanted;
    }
    return formats[0];
}

}  // namespace

AVRational output_sample_aspect_ratio(float display_aspect, int width, int height) {
    const double aspect = display_aspect;
    const double shape = static_cast<std::int64_t>(width) * height != 0
                             ? static_cast<double>(height) * aspect / width
                             : aspect * 3.0 / 4.0;
    return ff::av_d2q(shape, kLargestAspectTerm);
}

std::optional<std::vector<RcOverride>> parse_rc_override(std::string_view text) {
    std::vector<RcOverride> overrides;
    std::size_t position = 0;
    while (true) {
        int start = 0;
        int end = 0;
        int q = 0;
        if (!read_override_number(text, position, start, true) || !read_override_number(text, position, end, true) ||
            !read_override_number(text, position, q, false)) {
            return std::nullopt;
        }
        overrides.push_back(q > 0 ? RcOverride{start, end, q, 1.0f}
                                  : RcOverride{start, end, 0, static_cast<float>(-static_cast<double>(q) / 100.0)});
        const auto slash = text.find('/', position);
        if (slash == std::string_view::npos) return overrides;
        position = slash + 1;
    }
}

int supported_pixel_format(const AVPixelFormat* formats, int wanted) { return supported_format(formats, wanted); }

int supported_sample_format(const AVSampleFormat* formats, int wanted) { return supported_format(formats, wanted); }

int preferred_range_format(const AVPixelFormat* formats, int format) {
    static constexpr std::pair<AVPixelFormat, AVPixelFormat> kFullRangeTwins[] = {
        {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUVJ420P},
        {AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUVJ422P},
        {AV_PIX_FMT_YUV444P, AV_PIX_FMT_YUVJ444P},
    };
    if (!formats) return format;
    for (const auto& [limited, full] : kFullRangeTwins) {
        if (limited != format) continue;
        for (const AVPixelFormat* listed = formats; *listed != AV_PIX_FMT_NONE && *listed != limited; ++listed) {
            if (*listed == full) return full;
        }
    }
    return format;
}

}  // namespace brenvale
