#include "converter/input_record.h"

#include "engine/custom_ffmpeg.h"

namespace brenvale {

void apply_input_options(TCustomFFmpeg& job, const TInputOptions& options) {
    job.apply_option_list(options.ExtOptions, 0);
    job.set_input_format(options.FileFormat);
    apply_start_time(job, options.StartTimeMs, options.StartTimeUs);
    if (options.ProgramID >= 0) job.program_id = options.ProgramID;
}

void apply_start_time(TCustomFFmpeg& job, std::int32_t start_time_ms, std::int64_t start_time_us) {
    if (start_time_ms > 0) job.start_time = std::int64_t{start_time_ms} * 1000;
    if (start_time_us > 0) job.start_time = start_time_us;
}

}  // namespace brenvale
