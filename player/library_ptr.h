// Owning pointers for the SDL objects the player holds; the media-library ones are the binding's.
#pragma once

#include <memory>

#include "binding/library_ptr.h"
#include "binding/sdl_api.h"

namespace brenvale::player {

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { sdl::SDL_FreeSurface(surface); }
};
struct WindowDeleter {
    void operator()(SDL_Window* window) const { sdl::SDL_DestroyWindow(window); }
};

using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;

inline PacketPtr MakePacket() { return PacketPtr(ff::av_packet_alloc()); }
inline FramePtr MakeFrame() { return FramePtr(ff::av_frame_alloc()); }

}  // namespace brenvale::player
