#include "app/catalogue/format_presets.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "app/catalogue/codec_table.h"
#include "app/catalogue/option_mapping.h"

namespace brenvale {
namespace {

using Items = std::vector<std::string>;

const Items kSizes = {
    "Original Video Size", "128 x 96 (SQCIF)", "160 x 120 (QVGA)", "176 x 120", "176 x 144 (QCIF)",
    "192 x 144",           "208 x 176",        "220 x 176",        "240 x 180", "320 x 200",
    "320 x 240 (VGA)",     "352 x 240",        "352 x 288 (CIF)",  "480 x 272", "480 x 360",
    "480 x 480",           "480 x 576",        "624 x 352",        "640 x 352", "640 x 480",
    "704 x 576 (4CIF)",    "720 x 480",        "720 x 576",
};
const Items kVideoRates = {"192 Kbps",  "200 Kbps",  "216 Kbps",  "384 Kbps",  "512 Kbps",
                           "640 Kbps",  "768 Kbps",  "1000 Kbps", "1200 Kbps", "1500 Kbps",
                           "1600 Kbps", "2000 Kbps", "2500 Kbps"};
const Items kFrameRates = {"Auto", "14.985 fps", "15.0 fps", "23.975 fps", "25.0 fps", "29.97 fps", "30.0 fps"};
const Items kAudioRates = {"32 Kbps",  "40 Kbps",  "48 Kbps",  "64 Kbps",  "80 Kbps",  "96 Kbps", "112 Kbps",
                           "128 Kbps", "160 Kbps", "192 Kbps", "224 Kbps", "256 Kbps", "320 Kbps"};
const Items kSamplingRates = {"8000 Hz",  "16000 Hz", "22050 Hz", "32000 Hz",
                              "44100 Hz", "48000 Hz", "54000 Hz", "96000 Hz"};
const Items kFlashSamplingRates = {"11025 Hz", "22050 Hz", "44100 Hz"};

// The formats of today: the source's own shape, rate and sound unless the user asks otherwise,
// and constant quality first ("RF", the encoder's rate factor: lower is better and larger).
const Items kHeights = {"Original", "2160p", "1080p", "720p", "480p"};
const Items kModernFrameRates = {"Same as source", "23.976 fps", "24.0 fps", "25.0 fps", "29.97 fps",
                                 "30.0 fps",       "50.0 fps",   "59.94 fps", "60.0 fps"};
const Items kModernVideoRates = {"1000 Kbps", "1500 Kbps", "2500 Kbps", "4000 Kbps",
                                 "6000 Kbps", "8000 Kbps", "12000 Kbps", "20000 Kbps"};
// x264 and x265 rate factors (0-51).
const Items kMpegQualities = {"RF 18 (best)", "RF 20 (high)", "RF 22", "RF 24", "RF 26",
                              "RF 28 (small)"};
// VP9 and AV1 rate factors (0-63).
const Items kWebQualities = {"RF 24 (high)", "RF 28", "RF 32", "RF 36", "RF 40 (small)"};
const Items kAacRates = {"96 Kbps", "128 Kbps", "160 Kbps", "192 Kbps", "256 Kbps", "320 Kbps"};
const Items kOpusRates = {"64 Kbps", "96 Kbps", "128 Kbps", "160 Kbps", "192 Kbps", "256 Kbps"};
const Items kAacSamplingRates = {"Same as source", "22050 Hz", "32000 Hz", "44100 Hz", "48000 Hz", "96000 Hz"};
const Items kOpusSamplingRates = {"48000 Hz"};
const Items kFlacSamplingRates = {"Same as source", "44100 Hz", "48000 Hz", "88200 Hz", "96000 Hz"};
const Items kChannels = {"Stereo", "Mono"};
const Items kModernChannels = {kSameAsSource, "Stereo", "Mono"};

Items ShortVideoRates() {
    Items rates = kVideoRates;
    std::erase_if(rates, [](const std::string& rate) { return rate == "1600 Kbps" || rate == "2000 Kbps"; });
    return rates;
}

// A list preselecting `selected`, which must be one of its items.
TPresetList Pick(const Items& items, const std::string& selected) {
    const auto found = std::find(items.begin(), items.end(), selected);
    if (found == items.end()) throw std::logic_error("preset item missing: " + selected);
    return {items, static_cast<int>(found - items.begin())};
}

// The codec lists select their first codec.
TPresetList Codecs(const Items& codecs) { return {codecs, 0}; }

TFormatPreset Video(std::string name, const Items& video_codecs, const Items& audio_codecs, const std::string& size,
                    const Items& video_rates, const std::string& video_rate, const std::string& frame_rate) {
    TFormatPreset preset;
    preset.Name = std::move(name);
    preset.VideoCodec = Codecs(video_codecs);
    preset.AudioCodec = Codecs(audio_codecs);
    preset.VideoSize = Pick(kSizes, size);
    preset.VideoBitrate = Pick(video_rates, video_rate);
    preset.VideoFramerate = Pick(kFrameRates, frame_rate);
    preset.AudioChannels = Pick(kChannels, "Stereo");
    return preset;
}

TFormatPreset WithAudio(TFormatPreset preset, const std::string& audio_rate, const Items& sampling_rates,
                        const std::string& sampling_rate) {
    preset.AudioBitrate = Pick(kAudioRates, audio_rate);
    preset.SamplingRate = Pick(sampling_rates, sampling_rate);
    return preset;
}

Items Joined(Items first, const Items& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TFormatPreset ModernSound(std::string name, const std::string& audio_codec, const Items& audio_rates,
                          const std::string& audio_rate, const Items& sampling_rates) {
    TFormatPreset preset;
    preset.Name = std::move(name);
    // Copy keeps the source's sound as it is, where the container holds its codec.
    preset.AudioCodec = Codecs({audio_codec, kCopyCodec});
    if (!audio_rates.empty()) preset.AudioBitrate = Pick(audio_rates, audio_rate);
    preset.SamplingRate = Pick(sampling_rates, sampling_rates.front());
    preset.AudioChannels = Pick(kModernChannels, kSameAsSource);
    return preset;
}

TFormatPreset ModernVideo(TFormatPreset sound, const std::string& video_codec, const Items& qualities,
                          const std::string& quality) {
    sound.VideoCodec = Codecs({video_codec, kCopyCodec});
    sound.VideoSize = Pick(kHeights, kHeights.front());
    sound.VideoBitrate = Pick(Joined(qualities, kModernVideoRates), quality);
    sound.VideoFramerate = Pick(kModernFrameRates, kModernFrameRates.front());
    return sound;
}

void AddModernPresets(std::map<int, TFormatPreset>& presets) {
    const auto aac = [](std::string name) {
        return ModernSound(std::move(name), "aac", kAacRates, "160 Kbps", kAacSamplingRates);
    };
    const auto opus = [](std::string name) {
        return ModernSound(std::move(name), "opus", kOpusRates, "128 Kbps", kOpusSamplingRates);
    };
    presets.emplace(50, ModernVideo(aac("MP4 H.264"), "H264", kMpegQualities, "RF 22"));
    presets.emplace(51, ModernVideo(aac("MP4 H.265"), "H265", kMpegQualities, "RF 24"));
    presets.emplace(52, ModernVideo(opus("WebM VP9"), "VP9", kWebQualities, "RF 32"));
    presets.emplace(53, ModernVideo(opus("WebM AV1"), "AV1", kWebQualities, "RF 36"));
    presets.emplace(54, ModernVideo(aac("MKV"), "H264", kMpegQualities, "RF 22"));
    presets.emplace(60, aac("M4A"));
    presets.emplace(61, opus("Opus"));
    // Lossless: no bit rate to choose.
    presets.emplace(62, ModernSound("FLAC", "flac", {}, {}, kFlacSamplingRates));
}

std::map<int, TFormatPreset> BuildPresets() {
    const std::string original = "Original Video Size";
    const std::string vga = "320 x 240 (VGA)";
    const TFormatPreset flash =
        WithAudio(Video("Flash", {"FLV"}, {"mp3"}, original, kVideoRates, "200 Kbps", "15.0 fps"), "64 Kbps",
                  kFlashSamplingRates, "44100 Hz");
    TFormatPreset mp3;
    mp3.Name = "MP3";
    mp3.AudioCodec = Codecs({"mp3"});
    mp3.AudioChannels = Pick(kChannels, "Stereo");
    mp3 = WithAudio(mp3, "192 Kbps", kSamplingRates, "48000 Hz");
    std::map<int, TFormatPreset> presets = {
        {32, flash},
        {33, flash},
        {22, WithAudio(Video("AVI", {"MPEG4", "H264"}, {"pcm_s16le", "mp3", "mp2", "ac3"}, original,
                             ShortVideoRates(), "1200 Kbps", "Auto"),
                       "128 Kbps", kSamplingRates, "48000 Hz")},
        {23, WithAudio(Video("DivX", {"MPEG4"}, {"mp3"}, original, ShortVideoRates(), "1200 Kbps", "Auto"),
                       "128 Kbps", kSamplingRates, "48000 Hz")},
        {41, mp3},
        {27, WithAudio(Video("MP4", {"MPEG4", "H264", "XVid"}, {"mpeg4aac"}, original, kVideoRates, "1200 Kbps",
                             "Auto"),
                       "128 Kbps", kSamplingRates, "44100 Hz")},
        {28, WithAudio(Video("MPEG-1", {"MPEG1VIDEO"}, {"mp2"}, vga, kVideoRates, "1600 Kbps", "25.0 fps"),
                       "192 Kbps", kSamplingRates, "44100 Hz")},
        {29, WithAudio(Video("MPEG-2", {"MPEG2VIDEO"}, {"mp2", "ac3"}, vga, kVideoRates, "2000 Kbps", "25.0 fps"),
                       "192 Kbps", kSamplingRates, "44100 Hz")},
        {26, WithAudio(Video("MOV", {"MPEG4"}, {"mpeg4aac"}, original, kVideoRates, "1200 Kbps", "Auto"),
                       "128 Kbps", kSamplingRates, "44100 Hz")},
        {31, WithAudio(Video("WMV", {"WMV2"}, {"wmav2"}, vga, kVideoRates, "1200 Kbps", "Auto"), "128 Kbps",
                       kSamplingRates, "48000 Hz")},
    };
    AddModernPresets(presets);
    return presets;
}

}  // namespace

std::string TPresetList::SelectedText() const {
    if (Selected < 0 || Selected >= static_cast<int>(Items.size())) return {};
    return Items[static_cast<std::size_t>(Selected)];
}

const std::vector<std::string>& AspectRatioItems() {
    static const Items items = {"Original", "4:3 (Standard", "16:9 (Wide Screen)"};
    return items;
}

const TFormatPreset& PresetForKind(int preset_kind) {
    static const std::map<int, TFormatPreset> presets = BuildPresets();
    const auto found = presets.find(preset_kind);
    if (found == presets.end()) throw std::out_of_range("no preset of kind " + std::to_string(preset_kind));
    return found->second;
}

}  // namespace brenvale
