#include "tools/modern_source_clips.h"

namespace brenvale::mediagen {
namespace {

constexpr FrameRate kPal{25, 1};
constexpr FrameRate kThirty{30, 1};

ClipDescription Clip(const char* name, const std::string& format, const std::string& extension, VideoSpec video) {
    ClipDescription clip = NamedClip(name, format, extension);
    clip.video = std::move(video);
    return clip;
}

}  // namespace

std::vector<ClipDescription> ModernSourceClips() {
    std::vector<ClipDescription> clips = {
        Clip(clips::kHevcSurround, "mp4", ".mp4", VideoOf("libx265", 320, 240, kPal, 25)),
        Clip(clips::kVp9Opus, "webm", ".webm", VideoOf("libvpx-vp9", 320, 180, kThirty, 30)),
        Clip(clips::kAv1Vorbis, "matroska", ".mkv", VideoOf("libsvtav1", 256, 144, kPal, 25)),
        Clip(clips::kTheoraFlac, "ogg", ".ogg", VideoOf("libtheora", 320, 240, kPal, 25)),
        Clip(clips::kMjpegPcm, "avi", ".avi", VideoOf("mjpeg", 320, 240, kPal, 25)),
        Clip(clips::kRawPictures, "avi", ".avi", VideoOf("rawvideo", 160, 120, kPal, 25)),
        Clip(clips::kHighDefinition, "mp4", ".mp4", VideoOf("libx264", 1280, 720, kPal, 10)),
    };
    clips[0].audio = {AudioOf("aac", 48000, 6, 48000, 440)};  // 5.1
    clips[1].audio = {AudioOf("libopus", 48000, 2, 48000, 440)};
    clips[2].audio = {AudioOf("libvorbis", 44100, 2, 44100, 440)};
    // Vorbis in Ogg drops its first samples on reading: the description would not hold.
    clips[3].audio = {AudioOf("flac", 44100, 2, 44100, 440)};
    clips[4].video->pixel_format = "yuvj422p";
    clips[4].audio = {AudioOf("pcm_s16le", 22050, 1, 22050, 440)};
    clips[5].video->pixel_format = "yuv422p";
    clips[6].audio = {AudioOf("aac", 44100, 2, 17640, 440)};
    return clips;
}

}  // namespace brenvale::mediagen
