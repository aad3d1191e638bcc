#include "tools/clip_description.h"

#include <algorithm>

namespace brenvale::mediagen {

namespace {
constexpr std::int64_t kMicrosecondsPerSecond = 1000000;
// Two frames of the longest-framed codec used (MP3, 1152 samples): one for the start
// delay, one for the padded last frame.
constexpr std::int64_t kLossyExtraSamples = 2 * 1152;
}  // namespace

std::int64_t VideoSpec::DurationUs() const {
    return frame_count * frame_rate.den * kMicrosecondsPerSecond / frame_rate.num;
}

std::int64_t AudioSpec::DurationUs() const {
    return sample_count * kMicrosecondsPerSecond / sample_rate;
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

}  // namespace brenvale::mediagen
