// Crop, pad and deinterlace of decoded pictures. Crop is a view into the same planes; pad and
// deinterlace write into a picture the caller allocated.
#pragma once

#include <cstdint>

struct AVFrame;

namespace brenvale {

struct TPadding {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

struct TPadColor {
    int y = 16;
    int u = 128;
    int v = 128;
};

// Planar YUV (or gray) with one byte per sample: the formats pad and deinterlace handle.
bool is_planar_yuv8(int pix_fmt);

// Points the planes of `view` at the area of `picture` that starts `top` rows down and `left`
// columns across; the view's size shrinks by as much. The view borrows the picture's planes.
// False for formats whose samples are not whole bytes, or offsets the chroma planes cannot
// express.
bool crop_view(const AVFrame& picture, int pix_fmt, int top, int left, AVFrame& view);

// Paints the borders of `target` (its full size, planar 8-bit YUV) in `color` and copies
// `source`, when given, into the inner area. False for other formats or padding larger than
// the picture.
bool pad_picture(AVFrame& target, const AVFrame* source, const TPadding& padding, const TPadColor& color);

// Keeps the top field and rebuilds every line of the bottom field as (-1 4 2 4 -1)/8 of the
// lines around it, from `source` into `target` (same size and format, planar 8-bit YUV). False
// for other formats.
bool deinterlace_picture(AVFrame& target, const AVFrame& source);

}  // namespace brenvale
