// Bitmap subtitles: the subtitle thread, the palette conversion to YUV and the blending of
// subtitle rectangles into a planar YUV 4:2:0 picture.
#pragma once

#include <cstdint>

struct AVSubtitleRect;

namespace brenvale::player {

struct StreamState;

// One palette entry from (A, R, G, B) to (A, Y, U, V), each in the same bits.
std::uint32_t PaletteEntryToYuv(std::uint32_t argb);

// A planar YUV 4:2:0 picture to draw into.
struct YuvPlanes {
    std::uint8_t* data[3] = {};
    int linesize[3] = {};
    int width = 0;
    int height = 0;
};

// Blends a bitmap rectangle whose palette already holds (A, Y, U, V); clipped to the picture.
void BlendSubtitleRect(YuvPlanes& picture, const AVSubtitleRect& rect);

void SubtitleThread(StreamState& is);

// Play thread: frees subpictures whose time is over at picture time `pts`.
void RetireSubpictures(StreamState& is, double pts);
// Play thread: blends the head subpicture into the overlay when it is due at `pts`.
void BlendDueSubpicture(StreamState& is, YuvPlanes& overlay, double pts);

}  // namespace brenvale::player
