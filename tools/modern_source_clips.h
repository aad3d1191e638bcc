// Clips in the codecs and containers of today's files, and the awkward shapes of their sound and
// pictures: H.265 with 5.1 sound, VP9 with Opus in WebM, AV1, Theora with FLAC in Ogg, Motion
// JPEG, raw pictures, and a high-definition picture to make smaller.
#pragma once

#include <vector>

#include "tools/clip_description.h"

namespace brenvale::mediagen {

namespace clips {
inline constexpr char kHevcSurround[] = "hevc_surround";
inline constexpr char kVp9Opus[] = "vp9_opus";
inline constexpr char kAv1Vorbis[] = "av1_vorbis";
inline constexpr char kTheoraFlac[] = "theora_flac";
inline constexpr char kMjpegPcm[] = "mjpeg_pcm";
inline constexpr char kRawPictures[] = "raw_pictures";
inline constexpr char kHighDefinition[] = "high_definition";
}  // namespace clips

// Added to the standard clips (clip_catalogue.h).
std::vector<ClipDescription> ModernSourceClips();

}  // namespace brenvale::mediagen
