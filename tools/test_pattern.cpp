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
    const auto* descriptor = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (!IsPlanarYuv8(descriptor)) {
        throw std::invalid_argument("test pattern needs a planar 8-bit YUV picture");
    }
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

double ToneSample(double tone_hz, int sample_rate, std::int64_t index) {
    return kToneAmplitude *
           std::sin(2.0 * std::numbers::pi * tone_hz * static_cast<double>(index) / sample_rate);
}

}  // namespace brenvale::mediagen
