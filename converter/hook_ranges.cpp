#include "converter/hook_ranges.h"

#include <algorithm>
#include <vector>

#include "binding/path_utils.h"
#include "engine/custom_ffmpeg.h"
#include "engine/option_numbers.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

// Microseconds of a millisecond text; -1000 for anything unreadable, as the value -1 would be.
std::int64_t microseconds_of(const std::string& text) {
    std::int64_t milliseconds = -1;
    try {
        milliseconds = StrToInt64(TrimText(text));
    } catch (const ConvertError&) {
        milliseconds = -1;
    }
    std::int64_t microseconds = 0;
    if (__builtin_mul_overflow(milliseconds, 1000, &microseconds)) return -1000;
    return microseconds;
}

}  // namespace

void parse_hook_ranges(TCustomFFmpeg& job, const std::string& text) {
    std::vector<TCustomFFmpeg::THookTimeRange> ranges;
    std::string rest = TrimText(text);
    while (!rest.empty()) {
        std::string end = TrimText(SplitAtFirst(rest, ","));
        const std::string start = SplitAtFirst(end, "-");
        const TCustomFFmpeg::THookTimeRange range{microseconds_of(start), microseconds_of(end)};
        if (range.end_us >= range.start_us && range.end_us >= 0) ranges.push_back(range);
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const auto& left, const auto& right) { return left.end_us < right.end_us; });
    job.hook_time_ranges = std::move(ranges);
    job.hook_range_index = 0;
}

}  // namespace brenvale
