// A source file's row as the probe describes it, with the stream facts a job needs.
#pragma once

#include "app/catalogue/source_row.h"
#include "probe/av_probe.h"

namespace brenvale {

// The file the probe has open; the probe stays open.
TSourceRow DescribeOpenFile(TAVProbe& probe);

}  // namespace brenvale
