// What --info prints: each file's container, length and bit rate, and each of its streams, as
// text or (--json) as one JSON array for scripts.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "probe/av_probe.h"

namespace brenvale::cli {

// True when every file opened; files that did not are reported on `errors` (and, as JSON,
// in the array with their error).
bool PrintFileInfo(TAVProbe& probe, const std::vector<std::string>& files, bool json, std::ostream& out,
                   std::ostream& errors);

}  // namespace brenvale::cli
