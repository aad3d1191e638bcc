// parse_hook_ranges on arbitrary text: it never raises and keeps only sound ranges, sorted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "converter/hook_ranges.h"
#include "engine/custom_ffmpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static brenvale::TCustomFFmpeg job;
    brenvale::parse_hook_ranges(job, std::string(reinterpret_cast<const char*>(data), size));
    std::int64_t previous_end = 0;
    for (const auto& range : job.hook_time_ranges) {
        if (range.end_us < range.start_us || range.end_us < previous_end) std::abort();
        previous_end = range.end_us;
    }
    if (job.hook_range_index != 0) std::abort();
    return 0;
}
