// What the catalogue knows of each codec its lists offer, found by the text the list shows: the
// encoder behind it, the picture format its players expect, and the values its encoder takes.
// A codec added to a preset gets its row here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brenvale {

struct TVideoCodecEntry {
    std::string ControlText;  // as the list shows it: "H264"
    std::string EncoderName;  // "libx264"
    // What players, browsers and devices play, whatever the source: 8-bit 4:2:0, limited range.
    std::string PixelFormat;
    int SizeStep = 1;                // the picture's sides are multiples of it (2 for 4:2:0)
    std::vector<double> FrameRates;  // pictures a second the encoder takes; empty: any
    // The encoder's speed and threading as option lines, chosen so a file converts in about
    // its own length on a two-core machine.
    std::string EncoderOptions{};
    std::string Tag{};  // the four characters devices look for; empty: the muxer's own
};

// Audio bit rates an encoder takes from a sampling rate on (up to the next band's).
struct TBitrateBand {
    int FromSampleRate = 0;  // Hz
    std::vector<int> Kbps;
};

struct TAudioCodecEntry {
    std::string ControlText;  // "mp3"
    std::string EncoderName;  // "libmp3lame"
    std::vector<int> SampleRates;      // Hz the encoder takes; empty: any
    std::vector<TBitrateBand> Bitrates;  // by rising FromSampleRate; empty: any
    int MaxChannels = 2;  // the most channels the encoder takes (8: 7.1)
};

// The codec choice that copies the source's stream as it is ("copy" on the command line).
inline constexpr char kCopyCodec[] = "Copy";
// True for that choice, in any case.
bool IsStreamCopy(std::string_view codec_text);

// nullptr for a text no row has (any case).
const TVideoCodecEntry* FindVideoCodec(std::string_view control_text);
const TAudioCodecEntry* FindAudioCodec(std::string_view control_text);

bool TakesFrameRate(const TVideoCodecEntry& codec, double frames_per_second);
bool TakesSampleRate(const TAudioCodecEntry& codec, int sample_rate);
bool TakesBitrate(const TAudioCodecEntry& codec, int sample_rate, int kbps);

}  // namespace brenvale
