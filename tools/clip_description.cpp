#include "tools/clip_description.h"

#include <algorithm>

namespace brenvale::mediagen {

namespace {
constexpr std::int64_t kMicrosecondsPerSecond = 1000000;
// Two frames of the longest-framed codec used (MP3, 1152 samples): one for the start
// delay, one for the padded last frame.
constexpr std::int64_t kLossyExtraSamples = 2 * 1152;
}  // namespace

bool InSecondMark(std::int64_t time_us) { return time_us >= 0 && time_us % kMicrosecondsPerSecond < kMarkUs; }

std::int64_t VideoSpec::DurationUs() const {
    return start_us + frame_count * frame_rate.den * kMicrosecondsPerSecond / frame_rate.num;
}

std::int64_t AudioSpec::DurationUs() const {
    const std::int64_t gap = gap_at_sample >= 0 && gap_at_sample < sample_count ? gap_us : 0;
    return start_us + gap + sample_count * kMicrosecondsPerSecond / sample_rate;
}

std::int64_t AudioSpec::MaxExtraDecodedSamples() const {
    return codec.starts_with("pcm_") ? 0 : kLossyExtraSamples;
}

bool ClipDescription::Opens() const { return !flags.random_bytes; }

bool ClipDescription::IsComplete() const { return Opens() && !flags.cut_short; }

std::int64_t ClipDescription::DurationUs() const {
    std::int64_t longest = video ? video->DurationUs() : 0;
    for (const AudioSpec& track : audio) longest = std::max(longest, track.DurationUs());
    if (subtitle && !subtitle->cues.empty()) {
        longest = std::max(longest, subtitle->cues.back().end_ms * 1000);
    }
    return longest;
}

std::int64_t ClipDescription::DurationToleranceUs() const {
    std::int64_t tolerance = 0;
    for (const AudioSpec& track : audio) {
        tolerance = std::max(
            tolerance, track.MaxExtraDecodedSamples() * kMicrosecondsPerSecond / track.sample_rate);
    }
    return tolerance;
}

int ClipDescription::StreamCount() const {
    return (video ? 1 : 0) + static_cast<int>(audio.size()) + (subtitle ? 1 : 0) + (cover ? 1 : 0);
}

ClipDescription NamedClip(const std::string& name, const std::string& format, const std::string& extension) {
    ClipDescription clip;
    clip.name = name;
    clip.format = format;
    clip.file_name = name + extension;
    return clip;
}

VideoSpec VideoOf(const std::string& codec, int width, int height, FrameRate rate, std::int64_t frames) {
    VideoSpec setup;
    setup.codec = codec;
    setup.width = width;
    setup.height = height;
    setup.frame_rate = rate;
    setup.frame_count = frames;
    return setup;
}

AudioSpec AudioOf(const std::string& codec, int sample_rate, int channels, std::int64_t samples, double tone_hz) {
    AudioSpec setup;
    setup.codec = codec;
    setup.sample_rate = sample_rate;
    setup.channels = channels;
    setup.sample_count = samples;
    setup.tone_hz = tone_hz;
    return setup;
}

}  // namespace brenvale::mediagen
