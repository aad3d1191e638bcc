// Owning pointers for the library objects of a run, each with its release function.
#pragma once

#include <cstdio>
#include <memory>

struct AVFifo;
struct AVFrame;
struct AVPacket;
struct SwrContext;
struct SwsContext;

namespace brenvale {

struct FrameDeleter {
    void operator()(AVFrame* frame) const;
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const;
};
struct FifoDeleter {
    void operator()(AVFifo* fifo) const;
};
struct SwrDeleter {
    void operator()(SwrContext* context) const;
};
struct SwsDeleter {
    void operator()(SwsContext* context) const;
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FifoPtr = std::unique_ptr<AVFifo, FifoDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Raise FFmpegException("av_malloc fail") when the library has no memory left.
FramePtr allocate_frame();
PacketPtr allocate_packet();

}  // namespace brenvale
