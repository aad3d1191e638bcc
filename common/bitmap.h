// A 24-bit bitmap: rows of blue, green, red bytes, top row first, each row padded to a
// multiple of four bytes (the layout of a Windows device-independent bitmap).
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace brenvale {

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // Re-sizes and clears every pixel to black. Negative sizes count as 0.
    void SetSize(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Row `row` (0 = top); Stride() bytes, of which Width() * 3 hold pixels.
    std::uint8_t* ScanLine(int row) { return pixels_.data() + static_cast<std::size_t>(row) * stride_; }
    const std::uint8_t* ScanLine(int row) const {
        return pixels_.data() + static_cast<std::size_t>(row) * stride_;
    }

    // Held while a handler draws on the bitmap, so no other thread touches its pixels then.
    std::mutex& CanvasLock() { return canvas_lock_; }

    static int StrideFor(int width) { return (width * 3 + 3) / 4 * 4; }

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<std::uint8_t> pixels_;
    std::mutex canvas_lock_;
};

}  // namespace brenvale
