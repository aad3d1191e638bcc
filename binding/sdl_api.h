// Slots of the SDL functions, filled by the loader like the media library slots.
#pragma once

#include <SDL2/SDL.h>

#include "binding/function_lists.h"

namespace sdl {

#define BRENVALE_DECLARE_SLOT(name) extern decltype(&::name) name;
BRENVALE_SDL_FUNCTIONS(BRENVALE_DECLARE_SLOT)
#undef BRENVALE_DECLARE_SLOT

}  // namespace sdl
