// How an input record becomes settings of the job that is about to open it.
#pragma once

#include "converter/option_records.h"

namespace brenvale {

class TCustomFFmpeg;

// The option lines (first pass), the format, the start times and the program, in that order.
// Raises what the option handlers raise; settings applied before stay in the job.
void apply_input_options(TCustomFFmpeg& job, const TInputOptions& options);
// The start position of a record: the finer value wins; values of 0 or less are not set.
void apply_start_time(TCustomFFmpeg& job, std::int32_t start_time_ms, std::int64_t start_time_us);

}  // namespace brenvale
