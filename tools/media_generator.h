// Writes synthetic clips through the bound media libraries.
#pragma once

#include <stdexcept>
#include <string>

#include "tools/clip_description.h"

namespace brenvale::mediagen {

class GenerationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the clip to `path`, a UTF-8 file name (non-ASCII names work in any locale).
// The converter libraries must be loaded. Throws GenerationError when a codec or the
// format is missing or refuses the description.
void Generate(const ClipDescription& description, const std::string& path);

}  // namespace brenvale::mediagen
