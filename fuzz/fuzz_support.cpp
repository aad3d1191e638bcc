#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "binding/library_loader.h"
#include "binding/media_api.h"

namespace brenvale::fuzz {
namespace {

std::string scratch_name() {
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/brenvale-fuzz-" + std::to_string(::getpid());
}

void remove_scratch_file() {
    std::error_code ignored;
    std::filesystem::remove(scratch_name(), ignored);
}

}  // namespace

void LoadLibrariesOnce() {
    if (!Loader().LoadLibrarySet(kConverterLibraries)) {
        std::fprintf(stderr, "fuzz: %s\n", Loader().LastError().c_str());
        std::abort();
    }
    ff::av_log_set_level(AV_LOG_QUIET);
}

const std::string& WriteScratchFile(const std::uint8_t* data, std::size_t size) {
    static const std::string name = [] {
        std::atexit(remove_scratch_file);
        return scratch_name();
    }();
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));
    return name;
}

}  // namespace brenvale::fuzz
