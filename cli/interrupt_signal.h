// Ctrl-C (and SIGTERM) ask the conversions to stop instead of killing the process, so the
// jobs end cleanly and their partial outputs are removed.
#pragma once

namespace brenvale::cli {

void InstallInterruptHandlers();
// The signal that asked to stop; 0 when none did.
int InterruptSignal();

}  // namespace brenvale::cli
