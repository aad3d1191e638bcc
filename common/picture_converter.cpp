#include "common/picture_converter.h"

#include <cstring>

#include "binding/media_api.h"

namespace brenvale {
namespace {

constexpr AVPixelFormat kRgbFormat = AV_PIX_FMT_BGR24;  // the bitmap's byte order
constexpr int kBufferAlign = 32;                         // what the scalers work fastest with
constexpr int kScaleFlags = SWS_BICUBIC;

bool has_picture(const TPictureRef& picture) {
    return picture.data && picture.data[0] && picture.linesize && picture.width > 0 && picture.height > 0;
}

// The scalers abort on formats they do not know instead of failing.
bool scalable_from(int format) { return ff::sws_isSupportedInput(static_cast<AVPixelFormat>(format)) > 0; }
bool scalable_to(int format) { return ff::sws_isSupportedOutput(static_cast<AVPixelFormat>(format)) > 0; }

}  // namespace

TPictureConverter::~TPictureConverter() {
    // Without the libraries nothing can have been allocated by them.
    if (ff::av_free) reset();
}

bool TPictureConverter::to_bitmap(const TPictureRef& picture) {
    if (!has_picture(picture)) return false;
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>(picture.width, picture.height);
    if (direct(picture)) {
        rows_to_bitmap(picture.data[0], picture.linesize[0]);
        return true;
    }
    if (!scalable_from(picture.format) || !fill_buffer()) return false;
    to_rgb_ = ff::sws_getCachedContext(to_rgb_, picture.width, picture.height,
                                       static_cast<AVPixelFormat>(picture.format), bitmap_->Width(),
                                       bitmap_->Height(), kRgbFormat, kScaleFlags, nullptr, nullptr, nullptr);
    if (!to_rgb_) return false;
    ff::sws_scale(to_rgb_, picture.data, picture.linesize, 0, picture.height, rgb_data_, rgb_linesize_);
    rows_to_bitmap(rgb_data_[0], rgb_linesize_[0]);
    return true;
}

bool TPictureConverter::from_bitmap(const TPictureRef& picture) {
    if (!bitmap_ || !has_picture(picture)) return false;
    if (direct(picture)) {
        rows_from_bitmap(picture.data[0], picture.linesize[0]);
        return true;
    }
    if (!scalable_to(picture.format) || !fill_buffer()) return false;
    from_rgb_ = ff::sws_getCachedContext(from_rgb_, bitmap_->Width(), bitmap_->Height(), kRgbFormat, picture.width,
                                         picture.height, static_cast<AVPixelFormat>(picture.format), kScaleFlags,
                                         nullptr, nullptr, nullptr);
    if (!from_rgb_) return false;
    rows_from_bitmap(rgb_data_[0], rgb_linesize_[0]);
    ff::sws_scale(from_rgb_, rgb_data_, rgb_linesize_, 0, bitmap_->Height(), picture.data, picture.linesize);
    return true;
}

void TPictureConverter::reset() {
    bitmap_.reset();
    ff::av_freep(&buffer_);
    buffer_size_ = 0;
    std::memset(rgb_data_, 0, sizeof rgb_data_);
    std::memset(rgb_linesize_, 0, sizeof rgb_linesize_);
    ff::sws_freeContext(to_rgb_);
    to_rgb_ = nullptr;
    ff::sws_freeContext(from_rgb_);
    from_rgb_ = nullptr;
}

// A picture already in the bitmap's format and size needs no scaling: its rows are copied.
bool TPictureConverter::direct(const TPictureRef& picture) const {
    return picture.format == kRgbFormat && picture.width == bitmap_->Width() && picture.height == bitmap_->Height();
}

// The buffer holds the bitmap's size in the library's layout; it only grows.
bool TPictureConverter::fill_buffer() {
    const int size = ff::av_image_get_buffer_size(kRgbFormat, bitmap_->Width(), bitmap_->Height(), kBufferAlign);
    if (size < 0) return false;
    if (buffer_size_ < size) {
        ff::av_freep(&buffer_);
        buffer_size_ = 0;
        buffer_ = static_cast<std::uint8_t*>(ff::av_malloc(static_cast<std::size_t>(size)));
        if (!buffer_) return false;
        buffer_size_ = size;
    }
    return ff::av_image_fill_arrays(rgb_data_, rgb_linesize_, buffer_, kRgbFormat, bitmap_->Width(),
                                    bitmap_->Height(), kBufferAlign) >= 0;
}

// Exactly the bitmap's pixel bytes per row: line sizes may be wider than its rows.
void TPictureConverter::rows_to_bitmap(const std::uint8_t* first_row, int linesize) {
    const std::size_t row_bytes = static_cast<std::size_t>(bitmap_->Width()) * 3;
    for (int row = 0; row < bitmap_->Height(); ++row)
        std::memcpy(bitmap_->ScanLine(row), first_row + static_cast<std::ptrdiff_t>(row) * linesize, row_bytes);
}

void TPictureConverter::rows_from_bitmap(std::uint8_t* first_row, int linesize) const {
    const std::size_t row_bytes = static_cast<std::size_t>(bitmap_->Width()) * 3;
    for (int row = 0; row < bitmap_->Height(); ++row)
        std::memcpy(first_row + static_cast<std::ptrdiff_t>(row) * linesize, bitmap_->ScanLine(row), row_bytes);
}

}  // namespace brenvale
