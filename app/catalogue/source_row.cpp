#include "app/catalogue/source_row.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "app/catalogue/text_rules.h"

namespace brenvale {

std::string VideoSizeText(bool has_video, int width, int height) {
    if (!has_video) return " ";
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string SourceFrameRateText(bool has_video, int num, int den) {
    if (!has_video || num < 0 || den <= 0) return " ";
    return ShortestDecimal(std::nearbyint(static_cast<double>(num) / den * 100) / 100, 2);
}

std::string DurationText(std::int64_t duration_us) {
    const std::int64_t seconds = duration_us / 1000000;
    if (seconds < 0) return "Unknown";
    char text[64];
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

TSourceRow DescribeSource(int video_stream_count, const TFileStreamInfo& file, const TVideoStreamInfo& video) {
    const bool has_video = video_stream_count > 0;
    TSourceRow row{VideoSizeText(has_video, video.Width, video.Height),
                   SourceFrameRateText(has_video, video.FrameRateNum, video.FrameRateDen), DurationText(file.Duration)};
    if (has_video && video.AspectRatio > 0) row.DisplayAspect = video.AspectRatio;
    if (file.Duration > 0) row.DurationMs = file.Duration / 1000;
    return row;
}

}  // namespace brenvale
