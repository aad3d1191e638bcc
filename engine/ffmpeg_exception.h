// The exception type of every error the engine raises itself; it carries only its message.
#pragma once

#include <stdexcept>

namespace brenvale {

class FFmpegException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace brenvale
