#include "app/catalogue/option_mapping.h"

#include <optional>
#include <stdexcept>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

constexpr char kOriginalVideoSize[] = "Original Video Size";
constexpr char kOriginal[] = "Original";
constexpr char kRateFactorPrefix[] = "RF ";

// "1200 Kbps" gives 1200000 bits/s.
std::int32_t KilobitsText(const std::string& text) { return ParseInt32(TextBeforeBlank(text) + "000"); }

std::int32_t AudioBitrateOf(const std::string& text) {
    if (text.empty() || text == kSameAsSource) return -1;
    if (text.find("Kbps") != std::string::npos) return KilobitsText(text);
    return ParseInt32(TextBeforeBlank(text));
}

// A whole number that makes up all of `text`; nothing otherwise.
std::optional<int> WholeNumber(const std::string& text) {
    try {
        return ParseInt32(text);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

void MapVideoRate(const std::string& text, TOutputOptions& options) {
    if (text == kSameAsSource) return;
    const int rate_factor = RateFactorOf(text);
    if (rate_factor >= 0) {
        options.VideoQuality = rate_factor;
    } else {
        options.VideoBitrate = KilobitsText(text);
    }
}

}  // namespace

const char kSameAsSource[] = "Same as source";

int HeightOf(const std::string& size_text) {
    if (!size_text.ends_with('p')) return 0;
    return WholeNumber(size_text.substr(0, size_text.size() - 1)).value_or(0);
}

bool KeepsSourceShape(const std::string& size_text) { return size_text == kOriginal || HeightOf(size_text) > 0; }

int RateFactorOf(const std::string& video_rate_text) {
    if (!video_rate_text.starts_with(kRateFactorPrefix)) return -1;
    const std::string number = TextBeforeBlank(video_rate_text.substr(std::string(kRateFactorPrefix).size()));
    return WholeNumber(number).value_or(-1);
}

std::string VideoEncoderName(const std::string& codec_text) {
    const TVideoCodecEntry* codec = FindVideoCodec(codec_text);
    return codec ? codec->EncoderName : LowerCase(codec_text);
}

std::string AudioEncoderName(const std::string& codec_text) {
    const TAudioCodecEntry* codec = FindAudioCodec(codec_text);
    return codec ? codec->EncoderName : LowerCase(codec_text);
}

std::string FrameSizeText(const std::string& size_text) {
    if (size_text == kOriginalVideoSize || size_text == kOriginal || size_text == kSameAsSource) return {};
    std::string size = size_text.substr(0, size_text.find('('));
    std::erase(size, ' ');
    return size;
}

void MapControlsToOptions(const TheAVCodec& entry, const TControlTexts& texts, TOutputOptions& options) {
    MapVideoRate(texts.VideoBitrate, options);
    options.AudioBitrate = AudioBitrateOf(texts.AudioBitrate);
    if (texts.SamplingRate != kSameAsSource) options.AudioSampleRate = ParseInt32(TextBeforeBlank(texts.SamplingRate));
    options.VideoCodec = VideoEncoderName(texts.VideoCodec);
    options.AudioCodec = AudioEncoderName(texts.AudioCodec);
    if (!FrameSizeText(texts.VideoSize).empty() && HeightOf(texts.VideoSize) == 0)
        options.FrameSize = FrameSizeText(texts.VideoSize);
    if (texts.AudioChannels != kSameAsSource) options.AudioChannels = texts.AudioChannels == "Stereo" ? 2 : 1;
    if (IsAudioOnly(entry)) options.VideoDisable = true;
}

std::string FrameRateText(const std::string& frame_rate_control) {
    if (LowerCase(TrimBlanks(frame_rate_control)) == "auto") return "25";
    if (frame_rate_control == kSameAsSource) return {};
    return TextBeforeBlank(frame_rate_control);
}

}  // namespace brenvale
