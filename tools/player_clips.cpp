#include "tools/player_clips.h"

namespace brenvale::mediagen {
namespace {

constexpr int kSparseFrames = 100;

ClipDescription SparseKeys(const char* name, const char* format, const char* extension, const char* video_codec,
                           const char* audio_codec, int sample_rate) {
    ClipDescription clip;
    clip.name = name;
    clip.format = format;
    clip.file_name = std::string(name) + extension;
    VideoSpec video;
    video.codec = video_codec;
    video.width = 160;
    video.height = 120;
    video.frame_count = kSparseFrames;
    video.key_frame_interval = kSparseKeyFrameInterval;
    clip.video = video;
    AudioSpec audio;
    audio.codec = audio_codec;
    audio.sample_rate = sample_rate;
    audio.sample_count = static_cast<std::int64_t>(sample_rate) * kSparseFrames / 25;
    clip.audio = {audio};
    return clip;
}

// 48 kHz stereo PCM half a second ahead: more than the 0.43 s a sound queue of 81,920 bytes holds.
ClipDescription PcmAhead() {
    ClipDescription clip = SparseKeys(clips::kAviPcmAhead, "avi", ".avi", "mpeg4", "pcm_s16le", 48000);
    clip.video->key_frame_interval = 12;
    clip.flags.sound_lead_ms = 500;
    return clip;
}

}  // namespace

void AddPlayerClips(std::vector<ClipDescription>& catalogue) {
    catalogue.push_back(SparseKeys(clips::kSparseKeysMp4, "mp4", ".mp4", "libx264", "aac", 44100));
    catalogue.push_back(SparseKeys(clips::kSparseKeysMkv, "matroska", ".mkv", "libx264", "libmp3lame", 44100));
    catalogue.push_back(SparseKeys(clips::kSparseKeysWebm, "webm", ".webm", "libvpx", "libopus", 48000));
    catalogue.push_back(SparseKeys(clips::kSparseKeysOgg, "ogg", ".ogv", "libtheora", "libvorbis", 44100));
    catalogue.push_back(SparseKeys(clips::kSparseKeysAvi, "avi", ".avi", "mpeg4", "pcm_s16le", 44100));
    catalogue.push_back(SparseKeys(clips::kSparseKeysMpeg, "mpeg", ".mpg", "mpeg2video", "mp2", 48000));
    catalogue.push_back(PcmAhead());
}

}  // namespace brenvale::mediagen
