// Audio sample handling of the transcode: decoded frames as interleaved signed 16-bit audio,
// the volume, one resampler from that audio to the encoder's format, rate and layout, and the
// filling of encoder frames from interleaved bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include "engine/library_ptr.h"

namespace brenvale {

// Each sample s becomes (s * volume + 128) >> 8, clamped to 16 bits; 256 leaves it unchanged.
void apply_volume(std::int16_t* samples, std::size_t count, int volume);

// Turns decoded frames of any sample format into interleaved s16 at the frame's own rate and
// channel count. Worker thread only.
class TS16Converter {
public:
    TS16Converter() = default;
    ~TS16Converter();
    TS16Converter(const TS16Converter&) = delete;
    TS16Converter& operator=(const TS16Converter&) = delete;

    // Replaces the contents of `bytes` with the frame's samples; returns the byte count, or a
    // negative library error.
    int convert(const AVFrame& frame, std::vector<std::uint8_t>& bytes);

private:
    int configure(const AVFrame& frame);

    SwrPtr context_;
    int format_ = AV_SAMPLE_FMT_NONE;
    int rate_ = 0;
    AVChannelLayout layout_{};
};

struct TAudioFormat {
    AVSampleFormat format = AV_SAMPLE_FMT_S16;  // the packed form is what the resampler writes
    int sample_rate = 0;
    AVChannelLayout layout{};
};

// The one resampler of an output stream: from interleaved s16 to the packed form of the
// encoder's format at the encoder's rate and layout, with drift compensation.
class TAudioResampler {
public:
    bool open(int input_rate, int input_channels, const TAudioFormat& output);
    bool is_open() const { return context_ != nullptr; }
    // Opened for this input rate and channel count.
    bool accepts(int input_rate, int input_channels) const {
        return input_rate == input_rate_ && input_channels == input_channels_;
    }
    // Converts `samples` input samples per channel; the output replaces the contents of `out`.
    // Returns the output samples per channel, or a negative library error.
    int convert(const std::uint8_t* input, int samples, std::vector<std::uint8_t>& out);
    int compensate(int sample_delta, int distance);

private:
    SwrPtr context_;
    int output_bytes_per_frame_ = 0;
    int input_rate_ = 0;
    int input_channels_ = 0;
    int output_rate_ = 0;
};

// Copies `samples` interleaved samples per channel into a frame of the frame's (possibly
// planar) format, which must have room for them.
void fill_audio_frame(AVFrame& frame, const std::uint8_t* interleaved, int samples);

// A channel layout for `channels` when the decoder left it unspecified.
AVChannelLayout layout_or_default(const AVChannelLayout& layout, int channels);

}  // namespace brenvale
