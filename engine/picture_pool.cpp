#include "engine/picture_pool.h"

#include "binding/media_api.h"

namespace brenvale {
namespace {

constexpr int kLineAlign = 32;    // line sizes the scalers and encoders work fastest with
constexpr int kReadPadding = 64;  // optimised readers may read a little past the last row

}  // namespace

TPicturePool::~TPicturePool() { release(); }

// An engine without libraries (or destroyed after they were unloaded) never made a pool.
void TPicturePool::release() {
    // Buffers still referenced stay valid; the library frees the pool with the last of them.
    if (pool_) ff::av_buffer_pool_uninit(&pool_);
    buffer_size_ = 0;
}

bool TPicturePool::fill(AVFrame& picture, int format, int width, int height) {
    ff::av_frame_unref(&picture);
    const AVPixelFormat pixel_format = static_cast<AVPixelFormat>(format);
    const int size = ff::av_image_get_buffer_size(pixel_format, width, height, kLineAlign);
    if (size <= 0) return false;
    if (!pool_ || buffer_size_ < size) {
        release();
        pool_ = ff::av_buffer_pool_init(static_cast<std::size_t>(size) + kReadPadding, nullptr);
        if (!pool_) return false;
        buffer_size_ = size;
    }
    picture.buf[0] = ff::av_buffer_pool_get(pool_);
    if (!picture.buf[0]) return false;
    picture.format = format;
    picture.width = width;
    picture.height = height;
    if (ff::av_image_fill_arrays(picture.data, picture.linesize, picture.buf[0]->data, pixel_format, width, height,
                                 kLineAlign) < 0) {
        ff::av_frame_unref(&picture);
        return false;
    }
    return true;
}

}  // namespace brenvale
