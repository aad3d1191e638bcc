#include "tools/music_clips.h"

#include "tools/clip_catalogue.h"

namespace brenvale::mediagen {
namespace {

constexpr int kSampleRate = 44100;

ClipDescription MusicClip(const char* name, const char* format, const char* extension,
                          const char* audio_codec, CoverSpec cover) {
    ClipDescription clip;
    clip.name = name;
    clip.format = format;
    clip.file_name = std::string(name) + extension;
    AudioSpec& audio = clip.audio.emplace_back();
    audio.codec = audio_codec;
    audio.sample_rate = kSampleRate;
    audio.channels = 2;
    audio.sample_count = kSampleRate;  // one second
    clip.cover = cover;
    clip.tags = MusicTags();
    return clip;
}

}  // namespace

const TagList& MusicTags() {
    static const TagList tags = {
        {"title", "Test Tone in A"},     {"artist", "The Generators"},
        {"album", "Synthetic Sounds"},   {"date", "2009"},
        {"comment", "written by brenvale-mediagen"}, {"track", "3"},
        {"genre", "Electronic"},
    };
    return tags;
}

void AddMusicClips(std::vector<ClipDescription>& catalogue) {
    // The shape of a ripped album track: a large JPEG cover in the ID3 tag.
    catalogue.push_back(
        MusicClip(clips::kMp3CoverTags, "mp3", ".mp3", "libmp3lame", {"mjpeg", 300, 300}));
    catalogue.push_back(MusicClip(clips::kM4aCoverTags, "ipod", ".m4a", "aac", {"png", 96, 96}));
    catalogue.push_back(MusicClip(clips::kFlacCoverTags, "flac", ".flac", "flac", {"png", 128, 128}));
}

}  // namespace brenvale::mediagen
