#include "engine/picture_ops.h"

#include <algorithm>
#include <cstring>

#include "binding/media_api.h"

namespace brenvale {
namespace {

constexpr int kMaxPlanes = 4;

struct PlaneGeometry {
    int width = 0;
    int height = 0;
};

// Chroma planes of YUV formats are subsampled; every other plane has the picture's size.
bool is_chroma_plane(const AVPixFmtDescriptor& descriptor, int plane) {
    if (descriptor.flags & AV_PIX_FMT_FLAG_RGB) return false;
    return descriptor.nb_components >= 3 && (plane == 1 || plane == 2);
}

PlaneGeometry plane_geometry(const AVPixFmtDescriptor& descriptor, int plane, int width, int height) {
    if (!is_chroma_plane(descriptor, plane)) return {width, height};
    return {-((-width) >> descriptor.log2_chroma_w), -((-height) >> descriptor.log2_chroma_h)};
}

int plane_count(const AVPixFmtDescriptor& descriptor) {
    int planes = 0;
    for (int c = 0; c < descriptor.nb_components; ++c) planes = std::max(planes, descriptor.comp[c].plane + 1);
    return planes;
}

// Bytes from one pixel to the next in a plane; 0 when samples are not whole bytes.
int plane_step(const AVPixFmtDescriptor& descriptor, int plane) {
    if (descriptor.flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_PAL)) return 0;
    int step = 0;
    for (int c = 0; c < descriptor.nb_components; ++c) {
        if (descriptor.comp[c].plane == plane) step = std::max(step, descriptor.comp[c].step);
    }
    return step;
}

void fill_rows(std::uint8_t* plane, int line_size, int row, int rows, int column, int columns, int value) {
    for (int y = row; y < row + rows; ++y) std::memset(plane + y * line_size + column, value, columns);
}

void copy_rows(std::uint8_t* target, int target_line, const std::uint8_t* source, int source_line, int rows,
               int bytes) {
    for (int y = 0; y < rows; ++y) std::memcpy(target + y * target_line, source + y * source_line, bytes);
}

std::uint8_t low_pass(const std::uint8_t* column, int line_size, int row, int rows) {
    auto at = [&](int y) { return static_cast<int>(column[std::clamp(y, 0, rows - 1) * line_size]); };
    const int sum = -at(row - 2) + 4 * at(row - 1) + 2 * at(row) + 4 * at(row + 1) - at(row + 2);
    return static_cast<std::uint8_t>(std::clamp((sum + 4) >> 3, 0, 255));
}

}  // namespace

bool is_planar_yuv8(int pix_fmt) {
    const AVPixFmtDescriptor* descriptor = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pix_fmt));
    if (!descriptor || (descriptor->flags & AV_PIX_FMT_FLAG_RGB)) return false;
    if (descriptor->nb_components != 1 && descriptor->nb_components != 3) return false;
    if (descriptor->nb_components == 3 && !(descriptor->flags & AV_PIX_FMT_FLAG_PLANAR)) return false;
    for (int c = 0; c < descriptor->nb_components; ++c) {
        if (descriptor->comp[c].depth != 8 || descriptor->comp[c].step != 1 || descriptor->comp[c].plane != c)
            return false;
    }
    return true;
}

bool crop_view(const AVFrame& picture, int pix_fmt, int top, int left, AVFrame& view) {
    const AVPixFmtDescriptor* descriptor = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pix_fmt));
    if (!descriptor || top < 0 || left < 0 || top > picture.height || left > picture.width) return false;
    const int subsampled = (1 << descriptor->log2_chroma_h) - 1;
    if ((top & subsampled) || (left & ((1 << descriptor->log2_chroma_w) - 1))) return false;
    const int planes = plane_count(*descriptor);
    for (int p = 0; p < planes; ++p) {
        const int step = plane_step(*descriptor, p);
        if (step == 0) return false;
        const bool chroma = is_chroma_plane(*descriptor, p);
        const int rows = chroma ? top >> descriptor->log2_chroma_h : top;
        const int columns = chroma ? left >> descriptor->log2_chroma_w : left;
        view.data[p] = picture.data[p] + rows * picture.linesize[p] + columns * step;
        view.linesize[p] = picture.linesize[p];
    }
    for (int p = planes; p < kMaxPlanes; ++p) {
        view.data[p] = nullptr;
        view.linesize[p] = 0;
    }
    view.width = picture.width - left;
    view.height = picture.height - top;
    return true;
}

bool pad_picture(AVFrame& target, const AVFrame* source, const TPadding& padding, const TPadColor& color) {
    if (!is_planar_yuv8(target.format)) return false;
    const int inner_width = target.width - padding.left - padding.right;
    const int inner_height = target.height - padding.top - padding.bottom;
    if (inner_width < 0 || inner_height < 0) return false;
    const AVPixFmtDescriptor& descriptor = *ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(target.format));
    const int values[3] = {color.y, color.u, color.v};
    for (int p = 0; p < plane_count(descriptor); ++p) {
        const bool chroma = is_chroma_plane(descriptor, p);
        const int shift_w = chroma ? descriptor.log2_chroma_w : 0;
        const int shift_h = chroma ? descriptor.log2_chroma_h : 0;
        const PlaneGeometry full = plane_geometry(descriptor, p, target.width, target.height);
        const int top = padding.top >> shift_h;
        const int left = padding.left >> shift_w;
        const int inner_rows = std::max(0, full.height - top - (padding.bottom >> shift_h));
        const int inner_columns = std::max(0, full.width - left - (padding.right >> shift_w));
        std::uint8_t* plane = target.data[p];
        const int line = target.linesize[p];
        fill_rows(plane, line, 0, top, 0, full.width, values[p]);
        fill_rows(plane, line, top + inner_rows, full.height - top - inner_rows, 0, full.width, values[p]);
        fill_rows(plane, line, top, inner_rows, 0, left, values[p]);
        fill_rows(plane, line, top, inner_rows, left + inner_columns, full.width - left - inner_columns, values[p]);
        if (source) {
            const PlaneGeometry inner = plane_geometry(descriptor, p, inner_width, inner_height);
            copy_rows(plane + top * line + left, line, source->data[p], source->linesize[p],
                      std::min(inner.height, inner_rows), std::min(inner.width, inner_columns));
        }
    }
    return true;
}

bool deinterlace_picture(AVFrame& target, const AVFrame& source) {
    if (!is_planar_yuv8(source.format) || target.format != source.format || target.width != source.width ||
        target.height != source.height)
        return false;
    const AVPixFmtDescriptor& descriptor = *ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(source.format));
    for (int p = 0; p < plane_count(descriptor); ++p) {
        const PlaneGeometry size = plane_geometry(descriptor, p, source.width, source.height);
        for (int y = 0; y < size.height; ++y) {
            std::uint8_t* out = target.data[p] + y * target.linesize[p];
            const std::uint8_t* in = source.data[p] + y * source.linesize[p];
            if (y % 2 == 0) {
                std::memcpy(out, in, static_cast<std::size_t>(size.width));
                continue;
            }
            for (int x = 0; x < size.width; ++x)
                out[x] = low_pass(source.data[p] + x, source.linesize[p], y, size.height);
        }
    }
    return true;
}

}  // namespace brenvale
