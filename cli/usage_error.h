// A command line that cannot be run: exit status 2 with the message.
#pragma once

#include <stdexcept>

namespace brenvale::cli {

class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

}  // namespace brenvale::cli
