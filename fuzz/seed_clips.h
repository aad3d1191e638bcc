// Catalogue clips shrunk to a few kilobytes: the media the fuzz targets start from.
#pragma once

#include <string>

#include "tools/clip_description.h"

namespace brenvale::fuzz {

// A quarter of the frame size (an odd size stays odd), at most five frames, a tenth of a
// second of sound and the subtitle cues ten times shorter.
mediagen::ClipDescription ShrunkClip(mediagen::ClipDescription clip);

// Writes every catalogue clip that opens, shrunk, into `folder` under its catalogue file name.
void WriteSeedClips(const std::string& folder);

}  // namespace brenvale::fuzz
