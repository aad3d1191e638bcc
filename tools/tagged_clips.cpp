#include "tools/tagged_clips.h"

#include <string>

#include "tools/clip_catalogue.h"

namespace brenvale::mediagen {
namespace {

constexpr int kSampleRate = 44100;

ClipDescription TaggedClip(const char* name, const char* format, const char* extension,
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
        {"title", "Test Tone in A"},
        {"artist", "The Generators"},
        {"album", "Synthetic Sounds"},
        {"date", "2009"},
        {"comment", "written by brenvale-mediagen"},
        {"track", "3"},
        {"genre", "Electronic"},
    };
    return tags;
}

void AddTaggedClips(std::vector<ClipDescription>& catalogue) {
    // The shape of a ripped album track: a large JPEG cover in the ID3 tag.
    catalogue.push_back(
        TaggedClip(clips::kMp3CoverTags, "mp3", ".mp3", "libmp3lame", {"mjpeg", 300, 300}));
    catalogue.push_back(TaggedClip(clips::kM4aCoverTags, "ipod", ".m4a", "aac", {"png", 96, 96}));
    catalogue.push_back(TaggedClip(clips::kFlacCoverTags, "flac", ".flac", "flac", {"png", 128, 128}));

    // A film bought or recorded on a phone: its cover is no second video stream.
    ClipDescription film = TaggedClip(clips::kMp4VideoCover, "mp4", ".mp4", "aac", {"png", 96, 96});
    VideoSpec& video = film.video.emplace();
    video.width = 160;
    video.height = 120;
    video.frame_count = 25;  // one second, as the sound
    catalogue.push_back(film);
}

}  // namespace brenvale::mediagen
