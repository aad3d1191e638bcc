// brenvale-fuzz-seeds OUTPUT_FOLDER: writes every clip of the catalogue that opens, shrunk to
// a few kilobytes (a quarter of the frame size, five frames, a tenth of a second of sound), as
// seeds for the fuzz targets that read media. Small seeds keep each fuzz run fast.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "tools/clip_catalogue.h"
#include "tools/media_generator.h"

namespace {

using brenvale::mediagen::ClipDescription;

// A quarter of the size, keeping an odd size odd.
int shrunk(int size) { return std::max(size / 4, 8) | (size & 1); }

ClipDescription shrunk_clip(ClipDescription clip) {
    if (clip.video) {
        clip.video->width = shrunk(clip.video->width);
        clip.video->height = shrunk(clip.video->height);
        clip.video->frame_count = std::min<std::int64_t>(clip.video->frame_count, 5);
    }
    for (auto& audio : clip.audio) audio.sample_count = audio.sample_rate / 10;
    if (clip.subtitle) {
        for (auto& cue : clip.subtitle->cues) {
            cue.start_ms /= 10;
            cue.end_ms /= 10;
        }
    }
    return clip;
}

int run(const std::string& folder) {
    if (!brenvale::Loader().LoadLibrarySet(brenvale::kConverterLibraries)) {
        std::fprintf(stderr, "brenvale-fuzz-seeds: %s\n", brenvale::Loader().LastError().c_str());
        return 1;
    }
    ff::av_log_set_level(AV_LOG_ERROR);
    std::filesystem::create_directories(folder);
    for (const ClipDescription& clip : brenvale::mediagen::StandardClips()) {
        if (clip.Opens()) brenvale::mediagen::Generate(shrunk_clip(clip), folder + "/" + clip.file_name);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: brenvale-fuzz-seeds OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        return run(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "brenvale-fuzz-seeds: %s\n", error.what());
        return 1;
    }
}
