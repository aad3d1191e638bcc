// brenvale-mediagen OUTPUT_FOLDER: writes the standard clips there.
// brenvale-mediagen --sample FILE: writes the demo clip.
#include <cstdio>
#include <exception>
#include <string>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "tools/clip_catalogue.h"
#include "tools/media_generator.h"

namespace {

int Usage() {
    std::fprintf(
        stderr, "usage: brenvale-mediagen OUTPUT_FOLDER\n       brenvale-mediagen --sample FILE\n");
    return 2;
}

int Run(int argc, char** argv) {
    const bool sample = argc == 3 && std::string(argv[1]) == "--sample";
    if (!sample && (argc != 2 || std::string(argv[1]).starts_with("-"))) return Usage();
    if (!brenvale::Loader().LoadLibrarySet(brenvale::kConverterLibraries)) {
        std::fprintf(stderr, "brenvale-mediagen: %s\n", brenvale::Loader().LastError().c_str());
        return 1;
    }
    // Encoders report their settings at information level; only failures matter here.
    ff::av_log_set_level(AV_LOG_ERROR);
    if (sample) {
        brenvale::mediagen::Generate(brenvale::mediagen::SampleClip(), argv[2]);
    } else {
        brenvale::mediagen::GenerateCatalogue(argv[1]);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "brenvale-mediagen: %s\n", error.what());
        return 1;
    }
}
