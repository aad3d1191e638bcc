// brenvale-fuzz-seeds OUTPUT_FOLDER: writes the shrunk catalogue clips (fuzz/seed_clips.h) that
// seed the fuzz targets reading media. Small seeds keep each fuzz run fast.
#include <cstdio>
#include <exception>

#include "fuzz/fuzz_support.h"
#include "fuzz/seed_clips.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brenvale-fuzz-seeds OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        brenvale::fuzz::LoadLibrariesOnce();
        brenvale::fuzz::WriteSeedClips(argv[1]);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "brenvale-fuzz-seeds: %s\n", error.what());
        return 1;
    }
}
