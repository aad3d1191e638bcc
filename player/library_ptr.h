// Owning pointers for the library types the player holds, each with its release function.
#pragma once

#include <memory>

#include "binding/media_api.h"
#include "binding/sdl_api.h"

namespace brenvale::player {

struct PacketDeleter {
    void operator()(AVPacket* packet) const { ff::av_packet_free(&packet); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { ff::av_frame_free(&frame); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { ff::avcodec_free_context(&context); }
};
struct SwrDeleter {
    void operator()(SwrContext* context) const { ff::swr_free(&context); }
};
struct SwsDeleter {
    void operator()(SwsContext* context) const { ff::sws_freeContext(context); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { sdl::SDL_FreeSurface(surface); }
};
struct WindowDeleter {
    void operator()(SDL_Window* window) const { sdl::SDL_DestroyWindow(window); }
};

using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;

inline PacketPtr MakePacket() { return PacketPtr(ff::av_packet_alloc()); }
inline FramePtr MakeFrame() { return FramePtr(ff::av_frame_alloc()); }

}  // namespace brenvale::player
