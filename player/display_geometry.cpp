#include "player/display_geometry.h"

#include <cmath>

#include "player/clocks.h"

namespace brenvale::player {
namespace {

double Ratio(int num, int den) { return den == 0 ? 0.0 : static_cast<double>(num) / den; }

int EvenRounded(double value) { return static_cast<int>(RoundHalfEven(value)) & ~1; }

}  // namespace

double DisplayAspect(double aspect_ratio, int stream_sar_num, int stream_sar_den, int codec_sar_num,
                     int codec_sar_den, int frame_width, int frame_height, int area_width, int area_height) {
    const bool area_has_size = area_width > 0 && area_height > 0;
    if (aspect_ratio < 0 && area_has_size) return static_cast<double>(area_width) / area_height;
    double aspect = 0;
    if (aspect_ratio > 0) {
        aspect = aspect_ratio;
    } else if (stream_sar_num != 0) {
        aspect = Ratio(stream_sar_num, stream_sar_den);
    } else if (codec_sar_num != 0) {
        aspect = Ratio(codec_sar_num, codec_sar_den);
    }
    if (aspect <= 0) aspect = 1.0;
    // A forced ratio is the display aspect itself, the sample aspect ratios are per pixel.
    if (aspect_ratio > 0 || frame_height <= 0) return aspect;
    return aspect * frame_width / frame_height;
}

Rect PictureRect(double aspect, int area_left, int area_top, int area_width, int area_height) {
    int height = area_height;
    int width = EvenRounded(height * aspect);
    if (width > area_width) {
        width = area_width;
        height = EvenRounded(width / aspect);
    }
    const int x = (area_width - width) / 2;
    const int y = (area_height - height) / 2;
    return Rect{area_left + x, area_top + y, width, height};
}

Size VideoWindowSize(bool full_screen, Size full_screen_size, Size screen_size, Size frame_size) {
    if (full_screen && full_screen_size.width > 0) return full_screen_size;
    if (!full_screen && screen_size.width > 0) return screen_size;
    if (frame_size.width > 0) return frame_size;
    return Size{640, 480};
}

}  // namespace brenvale::player
