// The standard clips the tests and the demo use, under stable names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/clip_description.h"
#include "tools/modern_source_clips.h"
#include "tools/real_world_clips.h"

namespace brenvale::mediagen {

namespace clips {
inline constexpr char kMp4H264Aac[] = "mp4_h264_aac";
inline constexpr char kAviMpeg4Mp3[] = "avi_mpeg4_mp3";
inline constexpr char kMkvTwoAudioSubtitles[] = "mkv_two_audio_subtitles";
inline constexpr char kWavPcm[] = "wav_pcm";
inline constexpr char kMp3Audio[] = "mp3_audio";
inline constexpr char kOddSize[] = "odd_size";
inline constexpr char kNtscRate[] = "ntsc_rate";
inline constexpr char kUnknownDuration[] = "unknown_duration";
inline constexpr char kTruncated[] = "truncated";
inline constexpr char kRandomBytes[] = "random_bytes";
inline constexpr char kMp3CoverTags[] = "mp3_cover_tags";
inline constexpr char kM4aCoverTags[] = "m4a_cover_tags";
inline constexpr char kFlacCoverTags[] = "flac_cover_tags";
inline constexpr char kMp4VideoCover[] = "mp4_video_cover";
}  // namespace clips

const std::vector<ClipDescription>& StandardClips();
// Throws std::out_of_range for a name not in the catalogue.
const ClipDescription& StandardClip(std::string_view name);
// Five seconds of 320x240 H.264 with AAC in MP4, for demos.
ClipDescription SampleClip();

// Writes every standard clip into `folder` (created when missing) under its file name.
void GenerateCatalogue(const std::string& folder);

}  // namespace brenvale::mediagen
