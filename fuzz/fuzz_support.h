// What every fuzz target shares: the converter's libraries, loaded once and quiet, and a
// scratch folder for what the code under test reads or writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brenvale::fuzz {

// Loads the converter's libraries (aborting when they cannot be loaded: nothing could be
// fuzzed) and silences the library log. Call from LLVMFuzzerInitialize.
void LoadLibrariesOnce();

// This process's folder in TMPDIR (or /tmp), created on first use and removed at a normal exit
// (a target stopped by a fault leaves it: scripts/fuzz gives the targets a TMPDIR of their own).
const std::string& ScratchFolder();

// Replaces the content of the file "input" of the scratch folder with `data`; returns its name.
const std::string& WriteScratchFile(const std::uint8_t* data, std::size_t size);

}  // namespace brenvale::fuzz
