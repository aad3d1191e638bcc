// What --info prints: the facts the file list would show for each file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "probe/av_probe.h"

namespace brenvale::cli {

// True when every file opened; files that did not are reported on `errors`.
bool PrintFileInfo(TAVProbe& probe, const std::vector<std::string>& files, std::ostream& out,
                   std::ostream& errors);

}  // namespace brenvale::cli
