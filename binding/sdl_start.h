// Starting SDL, the same way for every part of the program that uses it.
#pragma once

#include <cstdint>

namespace brenvale {

// SDL_InitSubSystem for `flags`, after telling SDL to leave SIGINT and SIGTERM alone: its
// handlers would turn them into events nobody reads once playback ends, and the program
// would no longer stop on Ctrl-C or a plain kill. 0 on success, as SDL answers.
int StartSdlSubsystems(std::uint32_t flags);

}  // namespace brenvale
