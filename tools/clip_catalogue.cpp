#include "tools/clip_catalogue.h"

#include <filesystem>
#include <stdexcept>

#include "tools/media_generator.h"
#include "tools/modern_source_clips.h"
#include "tools/player_clips.h"
#include "tools/real_world_clips.h"
#include "tools/tagged_clips.h"

namespace brenvale::mediagen {
namespace {

// The catalogue's short names for the description helpers.
VideoSpec Video(const std::string& codec, int width, int height, FrameRate rate, std::int64_t frames) {
    return VideoOf(codec, width, height, rate, frames);
}

AudioSpec Audio(const std::string& codec, int sample_rate, int channels, std::int64_t samples, double tone_hz) {
    return AudioOf(codec, sample_rate, channels, samples, tone_hz);
}

ClipDescription Clip(const std::string& name, const std::string& format, const std::string& extension) {
    return NamedClip(name, format, extension);
}

constexpr FrameRate kPal{25, 1};
constexpr FrameRate kNtsc{30000, 1001};

SubtitleSpec ThreeCues() {
    return SubtitleSpec{
        "subrip", {{0, 600, "First cue"}, {700, 1300, "Second cue"}, {1400, 1900, "Third cue"}}};
}

std::vector<ClipDescription> BuildCatalogue() {
    std::vector<ClipDescription> catalogue;

    ClipDescription& mp4 = catalogue.emplace_back(Clip(clips::kMp4H264Aac, "mp4", ".mp4"));
    mp4.video = Video("libx264", 320, 240, kPal, 50);
    mp4.audio = {Audio("aac", 44100, 2, 88200, 440)};

    ClipDescription& avi = catalogue.emplace_back(Clip(clips::kAviMpeg4Mp3, "avi", ".avi"));
    avi.video = Video("mpeg4", 320, 240, kPal, 50);
    avi.audio = {Audio("libmp3lame", 44100, 2, 88200, 440)};

    ClipDescription& mkv =
        catalogue.emplace_back(Clip(clips::kMkvTwoAudioSubtitles, "matroska", ".mkv"));
    mkv.video = Video("libx264", 320, 240, kPal, 50);
    mkv.audio = {Audio("aac", 48000, 2, 96000, 440), Audio("libmp3lame", 22050, 1, 44100, 880)};
    mkv.subtitle = ThreeCues();

    catalogue.emplace_back(Clip(clips::kWavPcm, "wav", ".wav")).audio = {
        Audio("pcm_s16le", 44100, 2, 88200, 440)};
    catalogue.emplace_back(Clip(clips::kMp3Audio, "mp3", ".mp3")).audio = {
        Audio("libmp3lame", 44100, 2, 88200, 440)};

    catalogue.emplace_back(Clip(clips::kOddSize, "avi", ".avi")).video =
        Video("mpeg4", 175, 97, kPal, 25);

    ClipDescription& ntsc = catalogue.emplace_back(Clip(clips::kNtscRate, "mp4", ".mp4"));
    ntsc.video = Video("libx264", 160, 120, kNtsc, 60);
    ntsc.audio = {Audio("aac", 48000, 2, 96096, 440)};  // exactly 60 frames long

    ClipDescription& raw = catalogue.emplace_back(Clip(clips::kUnknownDuration, "h264", ".h264"));
    raw.video = Video("libx264", 160, 120, kPal, 50);
    raw.flags.unknown_duration = true;

    ClipDescription& truncated = catalogue.emplace_back(Clip(clips::kTruncated, "avi", ".avi"));
    truncated.video = Video("mpeg4", 160, 120, kPal, 50);
    truncated.audio = {Audio("libmp3lame", 44100, 2, 88200, 440)};
    truncated.flags.cut_short = true;

    catalogue.emplace_back(Clip(clips::kRandomBytes, "", ".dat")).flags.random_bytes = true;
    AddPlayerClips(catalogue);
    for (ClipDescription& clip : RealWorldClips()) catalogue.push_back(std::move(clip));
    for (ClipDescription& clip : ModernSourceClips()) catalogue.push_back(std::move(clip));
    AddTaggedClips(catalogue);
    return catalogue;
}

}  // namespace

const std::vector<ClipDescription>& StandardClips() {
    static const std::vector<ClipDescription> catalogue = BuildCatalogue();
    return catalogue;
}

const ClipDescription& StandardClip(std::string_view name) {
    for (const ClipDescription& clip : StandardClips()) {
        if (clip.name == name) return clip;
    }
    throw std::out_of_range("no standard clip named " + std::string(name));
}

ClipDescription SampleClip() {
    ClipDescription sample = Clip("sample", "mp4", ".mp4");
    sample.video = Video("libx264", 320, 240, kPal, 125);
    sample.audio = {Audio("aac", 44100, 2, 220500, 440)};
    return sample;
}

void GenerateCatalogue(const std::string& folder) {
    std::filesystem::create_directories(folder);
    for (const ClipDescription& clip : StandardClips())
        Generate(clip, folder + "/" + clip.file_name);
}

}  // namespace brenvale::mediagen
