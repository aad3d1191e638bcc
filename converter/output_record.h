// How an output record becomes settings of the job before the output is created.
#pragma once

#include "converter/option_records.h"

namespace brenvale {

class TCustomFFmpeg;

// Target, TVStandard and DefaultTVStandard as a target preset; Target 0 does nothing.
void apply_output_target(TCustomFFmpeg& job, const TOutputOptions& options);
// Every other field, in a fixed order: fields left "not set" keep what the option lines and
// the preset did, the few that always apply override them. Raises what the option handlers
// raise; settings applied before stay in the job.
void apply_output_options(TCustomFFmpeg& job, const TOutputOptions& options);

}  // namespace brenvale
