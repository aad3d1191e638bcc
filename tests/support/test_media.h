// Where the generated test media lives. Test executables declared with NEEDS_TEST_MEDIA
// get the folder in BRENVALE_TEST_MEDIA and run after the generating fixture.
#pragma once

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/clip_catalogue.h"

namespace brenvale::testing {

inline std::string TestMediaFolder() {
    const char* folder = std::getenv("BRENVALE_TEST_MEDIA");
    if (!folder || !*folder) {
        throw std::runtime_error(
            "BRENVALE_TEST_MEDIA is not set: declare the test with NEEDS_TEST_MEDIA");
    }
    return folder;
}

// Path of a standard clip (tools/clip_catalogue.h) in the generated folder.
inline std::string TestClipPath(std::string_view name) {
    return TestMediaFolder() + "/" + mediagen::StandardClip(name).file_name;
}

}  // namespace brenvale::testing
