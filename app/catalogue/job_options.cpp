#include "app/catalogue/job_options.h"

#include <cmath>
#include <stdexcept>

#include "app/catalogue/option_mapping.h"
#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

constexpr char kFallbackAspect[] = "1.3333";

std::string SourceAspect(const std::string& video_size) {
    std::string size = TrimBlanks(video_size);
    if (size.empty()) size = "640x480";
    const auto x = size.find('x');
    if (x == std::string::npos) throw std::invalid_argument("no x in " + size);
    const std::int32_t width = ParseInt32(size.substr(0, x));
    const std::int32_t height = ParseInt32(size.substr(x + 1));
    if (height == 0) throw std::invalid_argument("height 0");
    // Ties to even, as the rounding of the default floating-point environment does.
    return ShortestDecimal(std::nearbyint(static_cast<double>(width) / height * 10000) / 10000, 4);
}

}  // namespace

std::string AspectRatioText(TAspectChoice choice, const std::string& video_size) {
    if (choice == TAspectChoice::Standard) return "4:3";
    if (choice == TAspectChoice::WideScreen) return "16:9";
    try {
        return SourceAspect(video_size);
    } catch (const std::invalid_argument&) {
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
}

}  // namespace brenvale
