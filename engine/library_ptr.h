// Owning pointers for the objects of a run: the binding's library objects and the C files.
#pragma once

#include <cstdio>
#include <memory>

#include "binding/library_ptr.h"

namespace brenvale {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Raise FFmpegException("av_malloc fail") when the library has no memory left.
FramePtr allocate_frame();
PacketPtr allocate_packet();

}  // namespace brenvale
