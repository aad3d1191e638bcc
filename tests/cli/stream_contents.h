// What a test wrote to a temporary C stream, read back from its start.
#pragma once

#include <cstdio>
#include <string>

namespace brenvale::cli {

inline std::string Contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

}  // namespace brenvale::cli
