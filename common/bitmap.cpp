#include "common/bitmap.h"

#include <algorithm>

namespace brenvale {

void TBitmap::SetSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    stride_ = StrideFor(width_);
    pixels_.assign(static_cast<std::size_t>(stride_) * height_, 0);
}

}  // namespace brenvale
