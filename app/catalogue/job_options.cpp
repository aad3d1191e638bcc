#include "app/catalogue/job_options.h"

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/option_mapping.h"
#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

constexpr char kFallbackAspect[] = "1.3333";
// Sound keeps its place against the picture: late starts and gaps are filled with silence, and
// it never drifts further than this (seconds) before it is cut or padded back.
constexpr std::int32_t kKeepSoundInPlace = 1;
constexpr float kSoundDriftSeconds = 0.04f;

// Width and height of a "WxH" size text; nothing when it is none.
std::optional<std::pair<std::int32_t, std::int32_t>> SizeOf(const std::string& size_text) {
    const std::string size = TrimBlanks(size_text);
    const auto x = size.find('x');
    if (x == std::string::npos) return std::nullopt;
    try {
        return std::make_pair(ParseInt32(size.substr(0, x)), ParseInt32(size.substr(x + 1)));
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

// The aspect of the source's size; an empty size stands for 640x480.
std::string SourceAspect(const std::string& video_size) {
    const std::string size = TrimBlanks(video_size).empty() ? "640x480" : video_size;
    const auto [width, height] = SizeOf(size).value();
    if (height == 0) throw std::invalid_argument("height 0");
    // Ties to even, as the rounding of the default floating-point environment does.
    return ShortestDecimal(std::nearbyint(static_cast<double>(width) / height * 10000) / 10000, 4);
}

// Every output carries the picture its players expect, whatever the source: the codec's picture
// format, and the source's own size made a multiple of what that format needs.
void SetPlayablePicture(const TConversionSettings& settings, const TSourceRow& source, TOutputOptions& options) {
    const TVideoCodecEntry* codec = FindVideoCodec(settings.Controls.VideoCodec);
    if (!codec || options.VideoDisable) return;
    options.PixelFormat = codec->PixelFormat;
    if (!options.FrameSize.empty()) return;
    const auto size = SizeOf(source.VideoSize);
    const std::int32_t step = codec->SizeStep;
    if (!size || size->first < step || size->second < step) return;
    if (size->first % step == 0 && size->second % step == 0) return;
    options.FrameSize = std::to_string(size->first / step * step) + "x" + std::to_string(size->second / step * step);
}

}  // namespace

std::string AspectRatioText(TAspectChoice choice, const std::string& video_size) {
    if (choice == TAspectChoice::Standard) return "4:3";
    if (choice == TAspectChoice::WideScreen) return "16:9";
    try {
        return SourceAspect(video_size);
    } catch (const std::exception&) {
        return kFallbackAspect;
    }
}

std::int32_t RecordingTimeFor(const std::string& duration) {
    return duration == "00:00:00" || duration == "Unknown" ? kUnknownLengthRecordingMs : -1;
}

void FillJobOutputOptions(const TConversionSettings& settings, const TSourceRow& source, TOutputOptions& options) {
    if (!settings.Entry) throw std::invalid_argument("no output format chosen");
    reset_output_options(options);
    MapControlsToOptions(*settings.Entry, settings.Controls, options);
    options.FrameRate = FrameRateText(settings.Controls.VideoFramerate);
    options.AudioVolume = settings.VolumeValue;
    options.FrameAspectRatio = AspectRatioText(settings.Aspect, source.VideoSize);
    const std::int32_t recording_ms = RecordingTimeFor(source.Duration);
    if (recording_ms > 0) options.RecordingTimeMs = recording_ms;
    options.AudioSync = kKeepSoundInPlace;
    options.AudioDriftThreshold = kSoundDriftSeconds;
    SetPlayablePicture(settings, source, options);
}

}  // namespace brenvale
