// The process's resident memory, read from /proc, for the benchmarks that watch it.
#pragma once

namespace brenvale::bench {

// Resident size now, in kB.
long ResidentKilobytes();
// The highest resident size of the process so far, in kB.
long PeakResidentKilobytes();

}  // namespace brenvale::bench
