#include "binding/sdl_start.h"

#include "binding/sdl_api.h"

namespace brenvale {

int StartSdlSubsystems(std::uint32_t flags) {
    sdl::SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return sdl::SDL_InitSubSystem(flags);
}

}  // namespace brenvale
