// The content of every synthetic clip, so tests can compare decoded pictures and sound
// with what was written.
#pragma once

#include <cstdint>

struct AVFrame;

namespace brenvale::mediagen {

// True for the planar 8-bit YUV formats (AVPixelFormat values) the pattern can fill.
bool CanDrawTestPattern(int pixel_format);

// Frame `index` of the moving pattern: a diagonal luma ramp that scrolls 3 pixels a frame,
// a light box that moves 4 pixels a frame to the right, and chroma ramps across and down.
// The frame's buffers must be allocated; throws std::invalid_argument for other formats.
void DrawTestPattern(AVFrame* frame, std::int64_t index);

// Frame `index` of random pixels (a fixed seed per frame): pictures no encoder can make small.
void DrawNoise(AVFrame* frame, std::int64_t index);

// The picture's number as a bar code across its top rows: kFrameNumberBits blocks, black for 0
// and white for 1, the lowest bit at the left. ReadFrameNumber reads it back from the luma of a
// decoded picture, scaled or not; -1 when the picture is too small to hold it.
inline constexpr int kFrameNumberBits = 12;
void DrawFrameNumber(AVFrame* frame, std::int64_t index);
std::int64_t ReadFrameNumber(const AVFrame& frame);

// Luma of the pattern at one point; DrawTestPattern uses it for every pixel.
std::uint8_t PatternLuma(int x, int y, int width, int height, std::int64_t index);

// The tone at sample `index`, in [-0.5, 0.5]; every channel carries the same value.
double ToneSample(double tone_hz, int sample_rate, std::int64_t index);

}  // namespace brenvale::mediagen
