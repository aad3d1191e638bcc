#include "tests/hooks/test_pictures.h"

#include <cstring>
#include <stdexcept>

namespace brenvale::testing {

FramePtr MakePicture(AVPixelFormat format, int width, int height, std::uint8_t fill) {
    FramePtr picture = allocate_frame();
    picture->format = format;
    picture->width = width;
    picture->height = height;
    if (ff::av_frame_get_buffer(picture.get(), 0) < 0) throw std::runtime_error("no picture buffer");
    for (int plane = 0; plane < 4 && picture->buf[plane]; ++plane)
        std::memset(picture->buf[plane]->data, fill, picture->buf[plane]->size);
    return picture;
}

int UniformFirstPlane(const AVFrame& picture) {
    int linesizes[4] = {};
    ff::av_image_fill_linesizes(linesizes, static_cast<AVPixelFormat>(picture.format), picture.width);
    const int bytes = linesizes[0];
    const int value = picture.data[0][0];
    for (int row = 0; row < picture.height; ++row) {
        const std::uint8_t* line = picture.data[0] + static_cast<std::ptrdiff_t>(row) * picture.linesize[0];
        for (int x = 0; x < bytes; ++x) {
            if (line[x] != value) return -1;
        }
    }
    return value;
}

}  // namespace brenvale::testing
