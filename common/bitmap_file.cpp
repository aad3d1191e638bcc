#include "common/bitmap_file.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "common/bitmap.h"

namespace brenvale {
namespace {

// 72 dots per inch, the value most programs write.
constexpr std::int32_t kPixelsPerMetre = 2835;

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> Headers(const TBitmap& bitmap) {
    const auto image_size = static_cast<std::uint32_t>(bitmap.Stride()) * bitmap.Height();
    const std::uint32_t offset = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
    std::vector<std::uint8_t> out{'B', 'M'};
    PutLittleEndian(out, offset + image_size, 4);
    PutLittleEndian(out, 0, 4);  // reserved
    PutLittleEndian(out, offset, 4);
    PutLittleEndian(out, kBitmapInfoHeaderSize, 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(bitmap.Width()), 4);
    PutLittleEndian(out, static_cast<std::uint32_t>(bitmap.Height()), 4);  // positive: bottom-up
    PutLittleEndian(out, 1, 2);   // planes
    PutLittleEndian(out, 24, 2);  // bits per pixel
    PutLittleEndian(out, 0, 4);   // uncompressed
    PutLittleEndian(out, image_size, 4);
    PutLittleEndian(out, kPixelsPerMetre, 4);
    PutLittleEndian(out, kPixelsPerMetre, 4);
    PutLittleEndian(out, 0, 4);  // colours used
    PutLittleEndian(out, 0, 4);  // important colours
    return out;
}

}  // namespace

bool SaveBitmapFile(const TBitmap& bitmap, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::vector<std::uint8_t> headers = Headers(bitmap);
    out.write(reinterpret_cast<const char*>(headers.data()), static_cast<std::streamsize>(headers.size()));
    for (int row = bitmap.Height() - 1; row >= 0; --row) {
        out.write(reinterpret_cast<const char*>(bitmap.ScanLine(row)), bitmap.Stride());
    }
    out.close();
    return static_cast<bool>(out);
}

}  // namespace brenvale
