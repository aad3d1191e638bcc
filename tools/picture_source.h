// The pictures of a video track in the track's own pixel format: drawn in planar 8-bit YUV
// and, for any other format (high bit depth, RGB, packed), converted by the scaler.
#pragma once

#include <cstdint>

#include "binding/library_ptr.h"
#include "tools/clip_description.h"

namespace brenvale::mediagen {

class PictureSource {
public:
    // Throws GenerationError for a format the libraries do not know or the scaler cannot write.
    explicit PictureSource(const VideoSpec& track);

    AVPixelFormat Format() const { return format_; }
    FramePtr Picture(std::int64_t index);

private:
    FramePtr DrawnPicture(AVPixelFormat format, std::int64_t index) const;

    VideoSpec track_;
    AVPixelFormat format_;
    SwsPtr scaler_;  // only for formats that are converted
};

}  // namespace brenvale::mediagen
