// Owning pointers for the media-library objects, each with its release function.
#pragma once

#include <memory>

#include "binding/media_api.h"

namespace brenvale {

struct PacketDeleter {
    void operator()(AVPacket* packet) const { ff::av_packet_free(&packet); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { ff::av_frame_free(&frame); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { ff::avcodec_free_context(&context); }
};
struct FifoDeleter {
    void operator()(AVFifo* fifo) const { ff::av_fifo_freep2(&fifo); }
};
struct SwrDeleter {
    void operator()(SwrContext* context) const { ff::swr_free(&context); }
};
struct SwsDeleter {
    void operator()(SwsContext* context) const { ff::sws_freeContext(context); }
};

using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FifoPtr = std::unique_ptr<AVFifo, FifoDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;

}  // namespace brenvale
