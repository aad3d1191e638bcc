// How many conversions the machine can run side by side.
#pragma once

namespace brenvale {

// The processor cores this process may run on; at least 1.
int CoreCount();

}  // namespace brenvale
