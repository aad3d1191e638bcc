// The one place where the media libraries' log levels (quiet -8 ... trace 56) meet the
// program's scale: -1 quiet, 0 error (warnings included), 1 information, 2 debug, 3 all.
#pragma once

namespace brenvale {

// The highest library level that belongs to a program level: what av_log_set_level gets.
int LibraryLogLevel(int program_level);
// The program level of a message logged at a library level.
int ProgramLogLevel(int library_level);

// Process-wide threshold on the program's scale that the library log callback compares
// messages with; the last job configured or started sets it for all. Thread-safe.
void SetLogThreshold(int program_level);
int LogThreshold();

}  // namespace brenvale
