// Writing a TBitmap as a Windows .bmp file (24 bits per pixel, uncompressed, bottom-up rows).
#pragma once

#include <string>

namespace brenvale {

class TBitmap;

inline constexpr int kBitmapFileHeaderSize = 14;
inline constexpr int kBitmapInfoHeaderSize = 40;

// False when the file cannot be written completely.
bool SaveBitmapFile(const TBitmap& bitmap, const std::string& path);

}  // namespace brenvale
