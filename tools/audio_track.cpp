#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "tools/encoder_track.h"
#include "tools/media_generator.h"
#include "tools/test_pattern.h"

namespace brenvale::mediagen {
namespace {

// Frame length for encoders that take any length (PCM).
constexpr int kVariableFrameSamples = 1024;

bool CanStore(AVSampleFormat format) {
    switch (ff::av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_S16:
        case AV_SAMPLE_FMT_S32:
        case AV_SAMPLE_FMT_FLT:
        case AV_SAMPLE_FMT_DBL:
            return true;
        default:
            return false;
    }
}

AVSampleFormat ChooseSampleFormat(const AVCodec* codec) {
    for (const AVSampleFormat* format = codec->sample_fmts; format && *format != AV_SAMPLE_FMT_NONE;
         ++format) {
        if (CanStore(*format)) return *format;
    }
    throw GenerationError(std::string("no usable sample format for ") + codec->name);
}

template <typename Integer>
Integer Quantize(double value) {
    return static_cast<Integer>(std::lrint(value * std::numeric_limits<Integer>::max()));
}

template <typename Sample>
void Store(std::uint8_t* base, int position, Sample value) {
    reinterpret_cast<Sample*>(base)[position] = value;
}

// One sample of the given channel, in the frame's own layout and format.
void StoreSample(AVFrame* frame, int channel, int index, double value) {
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = ff::av_sample_fmt_is_planar(format);
    std::uint8_t* base = frame->extended_data[planar ? channel : 0];
    const int position = planar ? index : index * frame->ch_layout.nb_channels + channel;
    switch (ff::av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_S16:
            Store(base, position, Quantize<std::int16_t>(value));
            break;
        case AV_SAMPLE_FMT_S32:
            Store(base, position, Quantize<std::int32_t>(value));
            break;
        case AV_SAMPLE_FMT_FLT:
            Store(base, position, static_cast<float>(value));
            break;
        default:
            Store(base, position, value);
            break;
    }
}

class AudioTrack final : public EncoderTrack {
public:
    AudioTrack(OutputFile& output, const AudioSpec& setup)
        : EncoderTrack(output, FindEncoder(setup.codec), 0), spec_(setup) {
        AVCodecContext* context = Context();
        context->sample_fmt = ChooseSampleFormat(context->codec);
        context->sample_rate = setup.sample_rate;
        ff::av_channel_layout_default(&context->ch_layout, setup.channels);
        context->time_base = AVRational{1, setup.sample_rate};
        Open();
        if (setup.gap_at_sample > 0 && context->frame_size > 0 && setup.gap_at_sample % context->frame_size != 0)
            throw GenerationError("a gap in the sound must start at a frame of the " + setup.codec + " encoder");
        StartAt(ff::av_rescale_q(setup.start_us, AV_TIME_BASE_Q, context->time_base));
    }

private:
    bool HasMoreFrames() const override { return samples_made_ < spec_.sample_count; }

    FramePtr MakeFrame(std::int64_t pts, std::int64_t& duration) override {
        const int frame_samples =
            Context()->frame_size > 0 ? Context()->frame_size : kVariableFrameSamples;
        // A gap starts at a frame's boundary: the frame before it ends at the gap's sample.
        const bool gap_ahead = spec_.gap_at_sample > samples_made_;
        const std::int64_t end = gap_ahead ? spec_.gap_at_sample : spec_.sample_count;
        if (samples_made_ == spec_.gap_at_sample)
            pts += ff::av_rescale_q(spec_.gap_us, AV_TIME_BASE_Q, Context()->time_base);
        FramePtr frame = AllocateFrame();
        frame->format = Context()->sample_fmt;
        frame->sample_rate = spec_.sample_rate;
        frame->nb_samples = static_cast<int>(std::min<std::int64_t>(frame_samples, end - samples_made_));
        ThrowOnError(ff::av_channel_layout_copy(&frame->ch_layout, &Context()->ch_layout),
                     "channel layout");
        ThrowOnError(ff::av_frame_get_buffer(frame.get(), 0), "sound buffer");
        FillTone(frame.get(), pts);
        frame->pts = pts;
        duration = frame->nb_samples;
        return frame;
    }

    // With marks, the tone sounds only during the marks of the clip's clock.
    void FillTone(AVFrame* frame, std::int64_t pts) {
        for (int i = 0; i < frame->nb_samples; ++i) {
            const std::int64_t time_us = ff::av_rescale_q(pts + i, Context()->time_base, AV_TIME_BASE_Q);
            const bool silent = spec_.second_marks && !InSecondMark(time_us);
            const double value = silent ? 0.0 : ToneSample(spec_.tone_hz, spec_.sample_rate, samples_made_ + i);
            for (int channel = 0; channel < spec_.channels; ++channel)
                StoreSample(frame, channel, i, value);
        }
        samples_made_ += frame->nb_samples;
    }

    AudioSpec spec_;
    std::int64_t samples_made_ = 0;
};

}  // namespace

std::unique_ptr<TrackWriter> MakeAudioTrack(OutputFile& output, const AudioSpec& setup) {
    return std::make_unique<AudioTrack>(output, setup);
}

}  // namespace brenvale::mediagen
