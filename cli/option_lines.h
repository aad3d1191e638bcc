// --option lines for engine settings that the format's settings choose: a line would change
// nothing, since the output record sets them after the lines.
#pragma once

#include <string>

namespace brenvale::cli {

// Raises TUsageError naming the setting to use when `name` is such an option ("ab" is chosen
// with --audio-bitrate). Lines for the record's other fields take effect (record_option_lines.h).
void RefuseOptionOfASetting(const std::string& name);

}  // namespace brenvale::cli
