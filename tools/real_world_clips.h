// Clips shaped like the files of phones, cameras, screen recorders and other programs: high
// bit depth and full chroma, RGB, full range, B-frames in Matroska, sound that starts late or
// early or stops for a while, one-millisecond time bases, pictures that cost many bits.
#pragma once

#include <vector>

#include "tools/clip_description.h"

namespace brenvale::mediagen {

namespace clips {
inline constexpr char kH264TenBit[] = "h264_10bit";
inline constexpr char kH264FullChroma[] = "h264_444";
inline constexpr char kH264HalfChroma[] = "h264_422";
inline constexpr char kH264Rgb[] = "h264_rgb";
inline constexpr char kH264FullRange[] = "h264_full_range";
inline constexpr char kMkvBFrames[] = "mkv_b_frames";
inline constexpr char kLateSound[] = "late_sound";
inline constexpr char kEarlySound[] = "early_sound";
inline constexpr char kSoundGap[] = "sound_gap";
inline constexpr char kFlvMillisecond[] = "flv_millisecond";
inline constexpr char kCostlyPictures[] = "costly_pictures";
}  // namespace clips

// Added to the standard clips (clip_catalogue.h).
std::vector<ClipDescription> RealWorldClips();

}  // namespace brenvale::mediagen
