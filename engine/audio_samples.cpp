#include "engine/audio_samples.h"

#include <algorithm>
#include <cstring>

#include "binding/media_api.h"

namespace brenvale {
namespace {

// Samples a resampler may still hold beyond the ones it is handed.
constexpr int kResamplerSlack = 256;

}  // namespace

void apply_volume(std::int16_t* samples, std::size_t count, int volume) {
    for (std::size_t i = 0; i < count; ++i) {
        const int scaled = (samples[i] * volume + 128) >> 8;
        samples[i] = static_cast<std::int16_t>(std::clamp(scaled, -32768, 32767));
    }
}

AVChannelLayout layout_or_default(const AVChannelLayout& layout, int channels) {
    AVChannelLayout result{};
    if (layout.order != AV_CHANNEL_ORDER_UNSPEC && layout.nb_channels == channels) {
        ff::av_channel_layout_copy(&result, &layout);
    } else {
        ff::av_channel_layout_default(&result, channels);
    }
    return result;
}

TS16Converter::~TS16Converter() { ff::av_channel_layout_uninit(&layout_); }

int TS16Converter::configure(const AVFrame& frame) {
    AVChannelLayout layout = layout_or_default(frame.ch_layout, frame.ch_layout.nb_channels);
    if (context_ && format_ == frame.format && rate_ == frame.sample_rate &&
        ff::av_channel_layout_compare(&layout_, &layout) == 0) {
        ff::av_channel_layout_uninit(&layout);
        return 0;
    }
    SwrContext* context = nullptr;
    int result = ff::swr_alloc_set_opts2(&context, &layout, AV_SAMPLE_FMT_S16, frame.sample_rate, &layout,
                                         static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    context_.reset(context);
    if (result >= 0) result = ff::swr_init(context);
    if (result < 0) {
        context_.reset();
        ff::av_channel_layout_uninit(&layout);
        return result;
    }
    format_ = frame.format;
    rate_ = frame.sample_rate;
    ff::av_channel_layout_uninit(&layout_);
    layout_ = layout;
    return 0;
}

int TS16Converter::convert(const AVFrame& frame, std::vector<std::uint8_t>& bytes) {
    const int channels = frame.ch_layout.nb_channels;
    if (channels <= 0 || frame.sample_rate <= 0) return AVERROR_INVALIDDATA;
    const std::size_t size = static_cast<std::size_t>(frame.nb_samples) * channels * 2;
    bytes.resize(size);
    if (frame.format == AV_SAMPLE_FMT_S16) {
        std::memcpy(bytes.data(), frame.extended_data[0], size);
        return static_cast<int>(size);
    }
    if (const int result = configure(frame); result < 0) return result;
    std::uint8_t* out[] = {bytes.data()};
    const int converted = ff::swr_convert(context_.get(), out, frame.nb_samples,
                                          const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    if (converted < 0) return converted;
    return converted * channels * 2;
}

bool TAudioResampler::open(int input_rate, int input_channels, const TAudioFormat& output) {
    AVChannelLayout input_layout{};
    ff::av_channel_layout_default(&input_layout, input_channels);
    SwrContext* context = nullptr;
    const AVSampleFormat packed = ff::av_get_packed_sample_fmt(output.format);
    int result = ff::swr_alloc_set_opts2(&context, const_cast<AVChannelLayout*>(&output.layout), packed,
                                         output.sample_rate, &input_layout, AV_SAMPLE_FMT_S16, input_rate, 0, nullptr);
    context_.reset(context);
    if (result >= 0) result = ff::swr_init(context);
    if (result < 0) {
        context_.reset();
        return false;
    }
    output_bytes_per_frame_ = ff::av_get_bytes_per_sample(packed) * output.layout.nb_channels;
    input_rate_ = input_rate;
    input_channels_ = input_channels;
    output_rate_ = output.sample_rate;
    return true;
}

int TAudioResampler::convert(const std::uint8_t* input, int samples, std::vector<std::uint8_t>& out) {
    const std::int64_t room = ff::av_rescale_rnd(samples, output_rate_, input_rate_, AV_ROUND_UP) + kResamplerSlack +
                              ff::swr_get_delay(context_.get(), output_rate_);
    out.resize(static_cast<std::size_t>(room) * output_bytes_per_frame_);
    std::uint8_t* planes[] = {out.data()};
    const std::uint8_t* inputs[] = {input};
    const int converted = ff::swr_convert(context_.get(), planes, static_cast<int>(room), inputs, samples);
    if (converted >= 0) out.resize(static_cast<std::size_t>(converted) * output_bytes_per_frame_);
    return converted;
}

int TAudioResampler::compensate(int sample_delta, int distance) {
    return ff::swr_set_compensation(context_.get(), sample_delta, distance);
}

void fill_audio_frame(AVFrame& frame, const std::uint8_t* interleaved, int samples) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = frame.ch_layout.nb_channels;
    const int sample_bytes = ff::av_get_bytes_per_sample(format);
    if (!ff::av_sample_fmt_is_planar(format)) {
        std::memcpy(frame.data[0], interleaved, static_cast<std::size_t>(samples) * channels * sample_bytes);
        return;
    }
    for (int c = 0; c < channels; ++c) {
        std::uint8_t* plane = frame.extended_data[c];
        for (int i = 0; i < samples; ++i) {
            std::memcpy(plane + i * sample_bytes, interleaved + (i * channels + c) * sample_bytes, sample_bytes);
        }
    }
}

}  // namespace brenvale
