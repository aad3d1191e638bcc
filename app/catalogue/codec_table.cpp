#include "app/catalogue/codec_table.h"

#include <algorithm>
#include <cmath>

#include "app/catalogue/text_rules.h"

namespace brenvale {
namespace {

constexpr char kPlayablePictures[] = "yuv420p";
constexpr int kHalfChroma = 2;

// MPEG-1 knows only these rates; the library refuses others, or writes what players reject.
const std::vector<double> kMpeg1FrameRates = {24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};

// MPEG audio layer II: MPEG-1 rates from 32 kHz, the half rates of MPEG-2 below.
const std::vector<TBitrateBand> kLayerTwoBitrates = {
    {0, {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
    {32000, {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384}},
};

const std::vector<int> kAacSampleRates = {7350,  8000,  11025, 12000, 16000, 22050, 24000,
                                         32000, 44100, 48000, 64000, 88200, 96000};

const std::vector<TVideoCodecEntry>& VideoCodecs() {
    static const std::vector<TVideoCodecEntry> codecs = {
        {"FLV", "flv", kPlayablePictures, kHalfChroma, {}},
        {"MPEG4", "mpeg4", kPlayablePictures, kHalfChroma, {}},
        {"H264", "libx264", kPlayablePictures, kHalfChroma, {}},
        {"XVid", "libxvid", kPlayablePictures, kHalfChroma, {}},
        {"MPEG1VIDEO", "mpeg1video", kPlayablePictures, kHalfChroma, kMpeg1FrameRates},
        {"MPEG2VIDEO", "mpeg2video", kPlayablePictures, kHalfChroma, {}},
        {"WMV2", "wmv2", kPlayablePictures, kHalfChroma, {}},
        // Apple's players take H.265 in MP4 only under the "hvc1" tag.
        {"H265", "libx265", kPlayablePictures, kHalfChroma, {}, "preset=superfast", "hvc1"},
        // Rows of a picture encoded on several threads: without it VP9 keeps one core busy.
        {"VP9", "libvpx-vp9", kPlayablePictures, kHalfChroma, {}, "deadline=good\ncpu-used=5\nrow-mt=1"},
        {"AV1", "libsvtav1", kPlayablePictures, kHalfChroma, {}, "preset=10"},
        // The source's pictures as they are: no picture format or size of its own.
        {kCopyCodec, "copy", "", 1, {}},
    };
    return codecs;
}

const std::vector<TAudioCodecEntry>& AudioCodecs() {
    static const std::vector<TAudioCodecEntry> codecs = {
        {"mp3", "libmp3lame", {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}, {}},
        {"mp2", "mp2", {16000, 22050, 24000, 32000, 44100, 48000}, kLayerTwoBitrates},
        {"ac3", "ac3", {32000, 44100, 48000}, {}, 6},
        // The libraries have no "libfaac": their own AAC encoder takes its place.
        {"mpeg4aac", "aac", kAacSampleRates, {}, 8},
        {"wmav2", "wmav2", {8000, 11025, 16000, 22050, 32000, 44100, 48000}, {}},
        {"pcm_s16le", "pcm_s16le", {}, {}, 8},
        {"aac", "aac", kAacSampleRates, {}, 8},
        // Opus works at 48 kHz inside whatever it is given; other rates only resample twice.
        {"opus", "libopus", {48000}, {}, 8},
        {"flac", "flac", {}, {}, 8},
        {kCopyCodec, "copy", {}, {}, 8},
    };
    return codecs;
}

template <typename Entry>
const Entry* FindByText(const std::vector<Entry>& entries, std::string_view control_text) {
    const std::string wanted = LowerCase(control_text);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const Entry& entry) { return LowerCase(entry.ControlText) == wanted; });
    return found == entries.end() ? nullptr : &*found;
}

template <typename Value>
bool Listed(const std::vector<Value>& values, Value value) {
    return values.empty() || std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace

bool IsStreamCopy(std::string_view codec_text) { return LowerCase(codec_text) == LowerCase(kCopyCodec); }

const TVideoCodecEntry* FindVideoCodec(std::string_view control_text) { return FindByText(VideoCodecs(), control_text); }

const TAudioCodecEntry* FindAudioCodec(std::string_view control_text) { return FindByText(AudioCodecs(), control_text); }

bool TakesFrameRate(const TVideoCodecEntry& codec, double frames_per_second) {
    // The lists' texts round the NTSC rates ("23.975", "29.97").
    return codec.FrameRates.empty() ||
           std::any_of(codec.FrameRates.begin(), codec.FrameRates.end(),
                       [&](double rate) { return std::fabs(rate - frames_per_second) < 0.01; });
}

bool TakesSampleRate(const TAudioCodecEntry& codec, int sample_rate) { return Listed(codec.SampleRates, sample_rate); }

bool TakesBitrate(const TAudioCodecEntry& codec, int sample_rate, int kbps) {
    const TBitrateBand* band = nullptr;
    for (const TBitrateBand& candidate : codec.Bitrates) {
        if (sample_rate >= candidate.FromSampleRate) band = &candidate;
    }
    return !band || Listed(band->Kbps, kbps);
}

}  // namespace brenvale
