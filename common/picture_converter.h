// The picture converter block: turns a library picture into a 24-bit bitmap and back, with its
// own scaler contexts. Used by the engine's hooks and preview and by the player.
//
// The bitmap takes the size of the first picture and keeps it until reset: a later picture of
// another size is scaled into it, and scaled back out of it on the way back, so no row or byte
// beyond either the bitmap or the picture is ever written.
//
// Not thread-safe: one thread at a time (the owner hands the bitmap to others only while it waits).
#pragma once

#include <cstdint>
#include <memory>

#include "common/bitmap.h"

struct SwsContext;

namespace brenvale {

// A picture as the libraries lay it out: up to four planes with their line sizes.
struct TPictureRef {
    std::uint8_t* const* data = nullptr;
    const int* linesize = nullptr;
    int format = -1;  // the library's pixel format number
    int width = 0;
    int height = 0;
};

class TPictureConverter {
public:
    TPictureConverter() = default;
    ~TPictureConverter();
    TPictureConverter(const TPictureConverter&) = delete;
    TPictureConverter& operator=(const TPictureConverter&) = delete;

    // Fills the bitmap from the picture. False when the picture has no size or the to-RGB
    // scaling context cannot be made (the bitmap is then left as it was).
    bool to_bitmap(const TPictureRef& picture);
    // Writes the bitmap back into the picture last given to to_bitmap. False when the
    // from-RGB scaling context cannot be made (the picture is then left as it was).
    bool from_bitmap(const TPictureRef& picture);

    // The bitmap exists after the first successful to_bitmap.
    bool has_bitmap() const { return bitmap_ != nullptr; }
    TBitmap& bitmap() { return *bitmap_; }

    // Frees the bitmap, the buffer and both scaling contexts.
    void reset();

private:
    bool direct(const TPictureRef& picture) const;
    bool fill_buffer();
    void rows_to_bitmap(const std::uint8_t* first_row, int linesize);
    void rows_from_bitmap(std::uint8_t* first_row, int linesize) const;

    std::unique_ptr<TBitmap> bitmap_;
    // The bitmap's pixels in the library's layout, for pictures that need scaling.
    std::uint8_t* buffer_ = nullptr;  // library allocator
    int buffer_size_ = 0;
    std::uint8_t* rgb_data_[4] = {};
    int rgb_linesize_[4] = {};
    SwsContext* to_rgb_ = nullptr;
    SwsContext* from_rgb_ = nullptr;
};

}  // namespace brenvale
