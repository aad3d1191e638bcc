#include "app/catalogue/option_mapping.h"

#include "app/catalogue/codec_table.h"
#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

constexpr char kOriginalVideoSize[] = "Original Video Size";

// "1200 Kbps" gives 1200000 bits/s.
std::int32_t KilobitsText(const std::string& text) { return ParseInt32(TextBeforeBlank(text) + "000"); }

std::int32_t AudioBitrateOf(const std::string& text) {
    if (text.find("Kbps") != std::string::npos) return KilobitsText(text);
    return ParseInt32(TextBeforeBlank(text));
}

}  // namespace

std::string VideoEncoderName(const std::string& codec_text) {
    const TVideoCodecEntry* codec = FindVideoCodec(codec_text);
    return codec ? codec->EncoderName : LowerCase(codec_text);
}

std::string AudioEncoderName(const std::string& codec_text) {
    const TAudioCodecEntry* codec = FindAudioCodec(codec_text);
    return codec ? codec->EncoderName : LowerCase(codec_text);
}

std::string FrameSizeText(const std::string& size_text) {
    if (size_text == kOriginalVideoSize) return {};
    std::string size = size_text.substr(0, size_text.find('('));
    std::erase(size, ' ');
    return size;
}

void MapControlsToOptions(const TheAVCodec& entry, const TControlTexts& texts, TOutputOptions& options) {
    options.VideoBitrate = KilobitsText(texts.VideoBitrate);
    options.AudioBitrate = AudioBitrateOf(texts.AudioBitrate);
    options.AudioSampleRate = ParseInt32(TextBeforeBlank(texts.SamplingRate));
    options.VideoCodec = VideoEncoderName(texts.VideoCodec);
    options.AudioCodec = AudioEncoderName(texts.AudioCodec);
    if (texts.VideoSize != kOriginalVideoSize) options.FrameSize = FrameSizeText(texts.VideoSize);
    options.AudioChannels = texts.AudioChannels == "Stereo" ? 2 : 1;
    if (IsAudioOnly(entry)) options.VideoDisable = true;
}

std::string FrameRateText(const std::string& frame_rate_control) {
    if (LowerCase(TrimBlanks(frame_rate_control)) == "auto") return "25";
    return TextBeforeBlank(frame_rate_control);
}

}  // namespace brenvale
