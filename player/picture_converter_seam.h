// The picture converter block of common/ turns pictures into bitmaps for the hook and the
// snapshot. Until it is part of every checkout, the player builds without it: hooks then
// never run and snapshots are empty.
#pragma once

#if __has_include("common/picture_converter.h")
#include "common/picture_converter.h"
#define BRENVALE_PLAYER_PICTURE_CONVERTER 1
#else
namespace brenvale {
class TPictureConverter {
public:
    void reset() {}
};
}  // namespace brenvale
#define BRENVALE_PLAYER_PICTURE_CONVERTER 0
#endif
