// Where the sound of a clip made with second marks lies against its pictures, read from a file
// made from it (tools/clip_description.h): each burst of tone marks a whole second of the clip's
// clock, and each picture carries its number, so the pictures say where that second is shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/clip_description.h"

namespace brenvale::testing {

struct ShownPicture {
    std::int64_t shown_us = 0;  // on the file's clock
    std::int64_t number = 0;    // of the source picture it shows
};

struct MarkTimes {
    std::vector<std::int64_t> sound_us;  // first loud sample of each burst, on the file's clock
    std::vector<ShownPicture> pictures;
};

// `path` is a UTF-8 file name with one video and one audio stream. The libraries must be loaded.
MarkTimes ReadMarks(const std::string& path);

// For each burst with pictures around it: how far it lies from the time the pictures show its
// second at (positive: the sound comes late). `source` describes the pictures of the clip.
std::vector<std::int64_t> SoundOffsets(const MarkTimes& marks, const mediagen::VideoSpec& source);

}  // namespace brenvale::testing
