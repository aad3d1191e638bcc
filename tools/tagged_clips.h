// Files as media libraries hold them: tags and a cover picture, on music and on a film.
#pragma once

#include <vector>

#include "tools/clip_description.h"

namespace brenvale::mediagen {

// The tags every tagged clip carries.
const TagList& MusicTags();

// Appends the tagged clips of the standard catalogue.
void AddTaggedClips(std::vector<ClipDescription>& catalogue);

}  // namespace brenvale::mediagen
