#include "tools/real_world_clips.h"

namespace brenvale::mediagen {
namespace {

constexpr FrameRate kPal{25, 1};

VideoSpec Video(const std::string& codec, const std::string& pixel_format, int width, int height,
                std::int64_t frames) {
    VideoSpec video = VideoOf(codec, width, height, kPal, frames);
    video.pixel_format = pixel_format;
    return video;
}

AudioSpec Aac(int sample_rate, std::int64_t samples) { return AudioOf("aac", sample_rate, 2, samples, 440.0); }

// Two seconds of H.264 in MP4 in one picture format, with sound.
ClipDescription PictureFormatClip(const std::string& name, const std::string& codec, const std::string& format) {
    ClipDescription clip = NamedClip(name, "mp4", ".mp4");
    clip.video = Video(codec, format, 320, 240, 50);
    clip.audio = {Aac(44100, 88200)};
    return clip;
}

// Four seconds with marks at every second, the sound `audio_start_us` after the picture (before
// it when negative), in MP4 unless the sound has a gap (MP4 cannot hold one).
ClipDescription SyncClip(const std::string& name, FrameRate rate, std::int64_t audio_start_us, std::int64_t gap_us) {
    ClipDescription clip = gap_us > 0 ? NamedClip(name, "matroska", ".mkv") : NamedClip(name, "mp4", ".mp4");
    clip.video = Video("libx264", "yuv420p", 320, 240, 4 * rate.num / rate.den);
    clip.video->frame_rate = rate;
    clip.video->frame_numbers = true;
    clip.audio = {Aac(48000, 4 * 48000)};
    clip.audio[0].second_marks = true;
    if (audio_start_us > 0) clip.audio[0].start_us = audio_start_us;
    if (audio_start_us < 0) clip.video->start_us = -audio_start_us;
    if (gap_us > 0) {
        clip.audio[0].gap_at_sample = 94 * 1024;  // about 2 s in, on a frame of the encoder
        clip.audio[0].gap_us = gap_us;
    }
    return clip;
}

}  // namespace

std::vector<ClipDescription> RealWorldClips() {
    std::vector<ClipDescription> clips = {
        PictureFormatClip(clips::kH264TenBit, "libx264", "yuv420p10le"),
        PictureFormatClip(clips::kH264FullChroma, "libx264", "yuv444p"),
        PictureFormatClip(clips::kH264HalfChroma, "libx264", "yuv422p"),
        PictureFormatClip(clips::kH264Rgb, "libx264rgb", "rgb24"),
        PictureFormatClip(clips::kH264FullRange, "libx264", "yuvj420p"),
        // A camera's 25, a phone's 29.97 and a screen recorder's 15 pictures a second.
        SyncClip(clips::kLateSound, kPal, 500000, 0),
        SyncClip(clips::kEarlySound, {30000, 1001}, -500000, 0),
        SyncClip(clips::kSoundGap, {15, 1}, 0, 600000),
    };

    ClipDescription& b_frames = clips.emplace_back(NamedClip(clips::kMkvBFrames, "matroska", ".mkv"));
    b_frames.video = Video("libx264", "yuv420p", 320, 240, 75);
    b_frames.video->b_frames = 3;
    b_frames.audio = {Aac(48000, 3 * 48000)};

    // Flash video as the old players wrote it.
    ClipDescription& flv = clips.emplace_back(NamedClip(clips::kFlvMillisecond, "flv", ".flv"));
    flv.video = Video("flv", "yuv420p", 160, 120, 100);
    flv.audio = {Aac(44100, 4 * 44100)};
    flv.audio[0].codec = "libmp3lame";

    // Noise that no quantiser makes small: a second pass at a low bit rate cannot reach it.
    ClipDescription& costly = clips.emplace_back(NamedClip(clips::kCostlyPictures, "avi", ".avi"));
    costly.video = Video("mpeg4", "yuv420p", 160, 120, 25);
    costly.video->noise = true;
    return clips;
}

}  // namespace brenvale::mediagen
