// Option lines of an output record that its own fields would override: a field applied always
// (an, vn, sn, alang, slang, async, vsync, copyts, padcolor) or one a caller fills for every job
// (pix_fmt, adrift_threshold, t) comes after the lines and wins. A caller that wants such a line
// to count moves it into its field.
#pragma once

#include "converter/option_records.h"

namespace brenvale {

// Every line of options.ExtOptions with such a name sets its field, parsed as the option's handler
// parses it; the lines stay. Raises what those parsers raise for a value they cannot read.
void move_option_lines_into_fields(TOutputOptions& options);

}  // namespace brenvale
