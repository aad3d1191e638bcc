#include "fuzz/seed_clips.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "tools/clip_catalogue.h"
#include "tools/media_generator.h"

namespace brenvale::fuzz {
namespace {

int shrunk(int size) { return std::max(size / 4, 8) | (size & 1); }

}  // namespace

mediagen::ClipDescription ShrunkClip(mediagen::ClipDescription clip) {
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

void WriteSeedClips(const std::string& folder) {
    std::filesystem::create_directories(folder);
    for (const mediagen::ClipDescription& clip : mediagen::StandardClips()) {
        if (clip.Opens()) mediagen::Generate(ShrunkClip(clip), folder + "/" + clip.file_name);
    }
}

}  // namespace brenvale::fuzz
