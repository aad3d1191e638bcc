// Library pictures for the tests, filled with known bytes.
#pragma once

#include <cstdint>

#include "binding/media_api.h"
#include "engine/library_ptr.h"

namespace brenvale::testing {

// A picture with its own buffer, every byte of every plane set to `fill`.
FramePtr MakePicture(AVPixelFormat format, int width, int height, std::uint8_t fill);

// The value every byte of the first plane's pixels (width × bytes per pixel) has, or -1 when they differ.
int UniformFirstPlane(const AVFrame& picture);

}  // namespace brenvale::testing
