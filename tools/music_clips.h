// Music files as libraries hold them: sound with tags and a cover picture.
#pragma once

#include <vector>

#include "tools/clip_description.h"

namespace brenvale::mediagen {

// The tags every music clip carries.
const TagList& MusicTags();

// Appends the music clips of the standard catalogue.
void AddMusicClips(std::vector<ClipDescription>& catalogue);

}  // namespace brenvale::mediagen
