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

void remove_scratch_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

void LoadLibrariesOnce() {
    if (!Loader().LoadLibrarySet(kConverterLibraries)) {
        std::fprintf(stderr, "fuzz: %s\n", Loader().LastError().c_str());
        std::abort();
    }
    ff::av_log_set_level(AV_LOG_QUIET);
}

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const char* parent = std::getenv("TMPDIR");
        std::string name = std::string(parent && *parent ? parent : "/tmp") + "/brenvale-fuzz-" +
                           std::to_string(::getpid());
        std::filesystem::create_directories(name);
        return name;
    }();
    static const bool removed_at_exit = std::atexit(remove_scratch_folder) == 0;
    (void)removed_at_exit;
    return folder;
}

const std::string& WriteScratchFile(const std::uint8_t* data, std::size_t size) {
    static const std::string name = ScratchFolder() + "/input";
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));
    return name;
}

}  // namespace brenvale::fuzz
