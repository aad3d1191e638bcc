// What every fuzz target shares: the converter's libraries, loaded once and quiet, and a
// scratch file for targets whose code under test reads a file by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brenvale::fuzz {

// Loads the converter's libraries (aborting when they cannot be loaded: nothing could be
// fuzzed) and silences the library log. Call from LLVMFuzzerInitialize.
void LoadLibrariesOnce();

// Replaces the content of this process's scratch file with `data` and returns its name.
// The file lives in TMPDIR (or /tmp) and is removed at exit.
const std::string& WriteScratchFile(const std::uint8_t* data, std::size_t size);

}  // namespace brenvale::fuzz
