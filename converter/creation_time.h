// Creation times of outputs: seconds since 1970-01-01 UTC.
#pragma once

#include <cstdint>

#include "converter/option_records.h"

namespace brenvale {

// 1970-01-01 in days since 1899-12-30.
inline constexpr double kUnixEpochDays = 25569.0;

std::int64_t current_unix_time();
// The local date-time in the time zone of the process, with the daylight saving in effect at
// that date; rounded to the nearest second.
std::int64_t unix_time_from_local(TDateTime local_time);

}  // namespace brenvale
