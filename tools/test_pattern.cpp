#include "tools/test_pattern.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "binding/media_api.h"

namespace brenvale::mediagen {
namespace {

constexpr int kRampPeriod = 64;
constexpr int kRampStepPerFrame = 3;
constexpr int kBoxStepPerFrame = 4;
constexpr std::uint8_t kBoxLuma = 235;
constexpr double kToneAmplitude = 0.5;

// One plane per component, one byte per sample.
bool IsPlanarYuv8(const AVPixFmtDescriptor* descriptor) {
    if (!descriptor || descriptor->nb_components != 3) return false;
    if (descriptor->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) return false;
    for (int i = 0; i < 3; ++i) {
        const AVComponentDescriptor& component = descriptor->comp[i];
        if (component.plane != i || component.step != 1 || component.depth != 8) return false;
    }
    return true;
}

bool InsideBox(int x, int y, int width, int height, std::int64_t index) {
    const int box_width = std::max(2, width / 8);
    const int box_left = static_cast<int>((index * kBoxStepPerFrame) % width);
    const int offset = (x - box_left + width) % width;
    return offset < box_width && y >= height / 4 && y < height * 3 / 4;
}

void DrawChromaPlane(AVFrame* frame, int plane, int plane_width, int plane_height, bool across) {
    for (int y = 0; y < plane_height; ++y) {
        std::uint8_t* row =
            frame->data[plane] + static_cast<std::ptrdiff_t>(y) * frame->linesize[plane];
        for (int x = 0; x < plane_width; ++x) {
            const int position = across ? x * 255 / std::max(1, plane_width - 1)
                                        : y * 255 / std::max(1, plane_height - 1);
            row[x] = static_cast<std::uint8_t>(64 + position / 2);
        }
    }
}

const AVPixFmtDescriptor* CheckedDescriptor(const AVFrame* frame) {
    const auto* descriptor = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (!IsPlanarYuv8(descriptor)) {
        throw std::invalid_argument("test pattern needs a planar 8-bit YUV picture");
    }
    return descriptor;
}

template <typename Value>
void FillPlanes(AVFrame* frame, const AVPixFmtDescriptor* descriptor, Value value) {
    for (int plane = 0; plane < 3; ++plane) {
        const int width = plane == 0 ? frame->width : AV_CEIL_RSHIFT(frame->width, descriptor->log2_chroma_w);
        const int height = plane == 0 ? frame->height : AV_CEIL_RSHIFT(frame->height, descriptor->log2_chroma_h);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = frame->data[plane] + static_cast<std::ptrdiff_t>(y) * frame->linesize[plane];
            for (int x = 0; x < width; ++x) row[x] = value(plane);
        }
    }
}

}  // namespace

bool CanDrawTestPattern(int pixel_format) {
    return IsPlanarYuv8(ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pixel_format)));
}

std::uint8_t PatternLuma(int x, int y, int width, int height, std::int64_t index) {
    if (InsideBox(x, y, width, height, index)) return kBoxLuma;
    const std::int64_t phase = (x + y + index * kRampStepPerFrame) % kRampPeriod;
    return static_cast<std::uint8_t>(16 + phase * 3);
}

void DrawTestPattern(AVFrame* frame, std::int64_t index) {
    const auto* descriptor = CheckedDescriptor(frame);
    for (int y = 0; y < frame->height; ++y) {
        std::uint8_t* row = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x)
            row[x] = PatternLuma(x, y, frame->width, frame->height, index);
    }
    const int chroma_width = AV_CEIL_RSHIFT(frame->width, descriptor->log2_chroma_w);
    const int chroma_height = AV_CEIL_RSHIFT(frame->height, descriptor->log2_chroma_h);
    DrawChromaPlane(frame, 1, chroma_width, chroma_height, true);
    DrawChromaPlane(frame, 2, chroma_width, chroma_height, false);
}

void DrawNoise(AVFrame* frame, std::int64_t index) {
    std::uint32_t state = 0x9E3779B9u ^ static_cast<std::uint32_t>(index * 2654435761u);
    FillPlanes(frame, CheckedDescriptor(frame), [&state](int) {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(16 + (state >> 24) * 219 / 255);
    });
}

namespace {

constexpr int kBarRows = 16;  // of a 240-row picture; scaled with the picture

int BarHeight(int height) { return std::max(2, height * kBarRows / 240); }

}  // namespace

void DrawFrameNumber(AVFrame* frame, std::int64_t index) {
    CheckedDescriptor(frame);
    const int rows = BarHeight(frame->height);
    for (int y = 0; y < rows; ++y) {
        std::uint8_t* row = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x) {
            const int bit = x * kFrameNumberBits / frame->width;
            row[x] = (index >> bit) & 1 ? kBoxLuma : 16;
        }
    }
}

std::int64_t ReadFrameNumber(const AVFrame& frame) {
    if (frame.width < 4 * kFrameNumberBits || frame.height < 32) return -1;
    const int rows = BarHeight(frame.height);
    const int block = frame.width / kFrameNumberBits;
    std::int64_t index = 0;
    for (int bit = 0; bit < kFrameNumberBits; ++bit) {
        // The middle of each block: its edges blur in lossy pictures.
        double total = 0;
        int count = 0;
        for (int y = rows / 4; y < rows * 3 / 4; ++y) {
            const std::uint8_t* row = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
            for (int x = bit * block + block / 4; x < bit * block + block * 3 / 4; ++x, ++count) total += row[x];
        }
        if (total / count > 128) index |= std::int64_t{1} << bit;
    }
    return index;
}

double ToneSample(double tone_hz, int sample_rate, std::int64_t index) {
    return kToneAmplitude *
           std::sin(2.0 * std::numbers::pi * tone_hz * static_cast<double>(index) / sample_rate);
}

}  // namespace brenvale::mediagen
