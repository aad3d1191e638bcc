#include "app/catalogue/job_options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/option_mapping.h"
#include "app/catalogue/text_rules.h"
#include "app/catalogue/volume_table.h"

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

// The shape the source is shown in: its display aspect, else that of its stored size.
std::optional<double> SourceShape(const TSourceRow& source) {
    if (source.DisplayAspect > 0) return source.DisplayAspect;
    const auto size = SizeOf(source.VideoSize);
    if (!size || size->second <= 0) return std::nullopt;
    return static_cast<double>(size->first) / size->second;
}

int EvenNumber(double value) { return static_cast<int>(std::lround(value / 2)) * 2; }

// "Original" and the heights keep the source's shape: square pixels at a height no larger than
// the source's, the width following the display aspect.
void KeepSourceShape(const TConversionSettings& settings, const TSourceRow& source, TOutputOptions& options) {
    const std::string& size_text = settings.Controls.VideoSize;
    const int height = HeightOf(size_text);
    if (options.VideoDisable || !KeepsSourceShape(size_text)) return;
    const std::optional<double> shape = SourceShape(source);
    if (!shape) return;
    if (settings.Aspect == TAspectChoice::Original) options.FrameAspectRatio = ShortestDecimal(*shape, 4);
    const auto size = SizeOf(source.VideoSize);
    if (height == 0 || !size || size->second <= height) return;
    const int even_height = height / 2 * 2;
    options.FrameSize = std::to_string(EvenNumber(even_height * *shape)) + "x" + std::to_string(even_height);
}

// Lines of the entry and of its encoder first: the user's own lines come after them and win.
void AddOptionLines(std::string& lines, const std::string& more) {
    if (more.empty()) return;
    if (!lines.empty()) lines += '\n';
    lines += more;
}

void SetEncoderChoices(const TConversionSettings& settings, TOutputOptions& options) {
    AddOptionLines(options.ExtOptions, settings.Entry->OptionLines);
    const TVideoCodecEntry* codec = FindVideoCodec(settings.Controls.VideoCodec);
    if (!codec || options.VideoDisable) return;
    AddOptionLines(options.ExtOptions, codec->EncoderOptions);
    options.VideoTag = codec->Tag;
}

// "Same as source" takes the source's rate when the encoder does, else the nearest it takes.
void SetSourceSampleRate(const TConversionSettings& settings, const TSourceRow& source, TOutputOptions& options) {
    const int source_rate = source.Streams.AudioSampleRate;
    if (options.AudioSampleRate > 0 || source_rate <= 0) return;
    const TAudioCodecEntry* codec = FindAudioCodec(settings.Controls.AudioCodec);
    if (!codec || TakesSampleRate(*codec, source_rate)) {
        options.AudioSampleRate = source_rate;
        return;
    }
    options.AudioSampleRate = *std::min_element(codec->SampleRates.begin(), codec->SampleRates.end(),
                                                [source_rate](int a, int b) {
                                                    return std::abs(a - source_rate) < std::abs(b - source_rate);
                                                });
}

// Stream-adding lines run after the output exists; each new stream takes the next source track.
void AddStreams(const std::string& codec_line, const char* add_line, int count, TOutputOptions& options) {
    for (int i = 0; i < count; ++i) AddOptionLines(options.ExtOptions, codec_line + "\n" + add_line);
}

// "Same as source": each track's own channels where the encoder takes that many, else as many
// as it takes; nothing when they are not known. Track 0 is the one the output's first stream takes.
int SourceChannels(const TConversionSettings& settings, const TSourceRow& source, std::size_t track) {
    const std::vector<int>& channels = source.Streams.AudioChannels;
    if (settings.Controls.AudioChannels != kSameAsSource || track >= channels.size() || channels[track] <= 0) return -1;
    const TAudioCodecEntry* codec = FindAudioCodec(settings.Controls.AudioCodec);
    return codec ? std::min(channels[track], codec->MaxChannels) : channels[track];
}

// Sound files carry no subtitles; the others keep text subtitles in the entry's own form, and
// drop subtitles made of pictures, which no text form can hold.
void SetTracks(const TConversionSettings& settings, const TSourceRow& source, TOutputOptions& options) {
    const TheAVCodec& entry = *settings.Entry;
    const TSourceStreams& streams = source.Streams;
    for (int track = 1; entry.AllAudioTracks && track < streams.AudioTracks && !options.AudioDisable; ++track) {
        std::string codec_lines = "acodec=" + options.AudioCodec;
        if (const int channels = SourceChannels(settings, source, static_cast<std::size_t>(track)); channels > 0)
            codec_lines += "\nac=" + std::to_string(channels);
        AddStreams(codec_lines, "newaudio", 1, options);
    }
    if (IsAudioOnly(entry)) options.SubtitleDisable = true;
    if (entry.SubtitleEncoder.empty() || IsAudioOnly(entry)) return;
    if (streams.SubtitleTracks <= 0 || streams.TextSubtitleTracks != streams.SubtitleTracks) {
        options.SubtitleDisable = true;
        return;
    }
    AddOptionLines(options.ExtOptions, "scodec=" + entry.SubtitleEncoder);
    AddStreams("scodec=" + entry.SubtitleEncoder, "newsubtitle", streams.SubtitleTracks - 1, options);
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
    const bool copy_video = IsStreamCopy(settings.Controls.VideoCodec);
    const bool copy_audio = IsStreamCopy(settings.Controls.AudioCodec);
    options.FrameRate = FrameRateText(settings.Controls.VideoFramerate);
    // A copied stream is not decoded: its sound keeps its volume, its pictures their shape.
    options.AudioVolume = copy_audio ? VolumeStep(kDefaultVolumePosition).VolumeValue : settings.VolumeValue;
    if (!copy_video) options.FrameAspectRatio = AspectRatioText(settings.Aspect, source.VideoSize);
    const std::int32_t recording_ms = RecordingTimeFor(source.Duration);
    if (recording_ms > 0) options.RecordingTimeMs = recording_ms;
    options.AudioSync = kKeepSoundInPlace;
    options.AudioDriftThreshold = kSoundDriftSeconds;
    if (!copy_video) {
        KeepSourceShape(settings, source, options);
        SetPlayablePicture(settings, source, options);
    }
    SetEncoderChoices(settings, options);
    if (!copy_audio) {
        SetSourceSampleRate(settings, source, options);
        if (const int channels = SourceChannels(settings, source, 0); channels > 0) options.AudioChannels = channels;
    }
    SetTracks(settings, source, options);
}

}  // namespace brenvale
