// Clips shaped for the preview player: sparse key frames in every common container, and PCM
// sound stored ahead of its pictures in AVI.
#pragma once

#include <vector>

#include "tools/clip_description.h"

namespace brenvale::mediagen {

namespace clips {
inline constexpr char kSparseKeysMp4[] = "sparse_keys_mp4";
inline constexpr char kSparseKeysMkv[] = "sparse_keys_mkv";
inline constexpr char kSparseKeysWebm[] = "sparse_keys_webm";
inline constexpr char kSparseKeysOgg[] = "sparse_keys_ogg";
inline constexpr char kSparseKeysAvi[] = "sparse_keys_avi";
inline constexpr char kSparseKeysMpeg[] = "sparse_keys_mpeg";
inline constexpr char kAviPcmAhead[] = "avi_pcm_ahead";
}  // namespace clips

// Four seconds at 25 pictures a second with key frames at 0 and 2.4 s only.
inline constexpr int kSparseKeyFrameInterval = 60;

void AddPlayerClips(std::vector<ClipDescription>& catalogue);

}  // namespace brenvale::mediagen
