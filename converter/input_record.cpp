#include "converter/input_record.h"

#include "engine/custom_ffmpeg.h"

namespace brenvale {

void apply_input_options(TCustomFFmpeg& job, const TInputOptions& options) {
    job.apply_option_list(options.ExtOptions, 0);
    job.set_input_format(options.FileFormat);
    if (options.StartTimeMs > 0) job.start_time = std::int64_t{options.StartTimeMs} * 1000;
    if (options.StartTimeUs > 0) job.start_time = options.StartTimeUs;
    if (options.ProgramID >= 0) job.program_id = options.ProgramID;
}

}  // namespace brenvale
