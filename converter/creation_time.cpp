#include "converter/creation_time.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace brenvale {
namespace {

constexpr double kSecondsPerDay = 86400.0;

}  // namespace

std::int64_t current_unix_time() {
    using namespace std::chrono;
    return round<seconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t unix_time_from_local(TDateTime local_time) {
    // The local fields, read as if they were UTC, then resolved in the local zone.
    const std::time_t local_seconds = std::llround((local_time - kUnixEpochDays) * kSecondsPerDay);
    std::tm fields{};
    ::gmtime_r(&local_seconds, &fields);
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

}  // namespace brenvale
