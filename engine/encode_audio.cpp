// The audio path of an output stream: sync by cutting, padding or stretching, conversion to
// the encoder's format, rate and layout, framing into encoder frames and encoding.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "binding/media_api.h"
#include "engine/audio_sync.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

int output_sample_bytes(const AVCodecContext& encoder) {
    return ff::av_get_bytes_per_sample(encoder.sample_fmt) * encoder.ch_layout.nb_channels;
}

bool needs_conversion(const OutputStream& ost) {
    return ost.needs_resampling || ff::av_get_packed_sample_fmt(ost.encoder->sample_fmt) != AV_SAMPLE_FMT_S16;
}

std::size_t fifo_bytes(const OutputStream& ost) { return ff::av_fifo_can_read(ost.sample_fifo.get()); }

}  // namespace

void TTranscoder::encode_audio(OutputStream& ost, InputStream& ist, const std::uint8_t* data, int size) {
    if (ost.finished) return;
    const AVCodecContext& enc = *ost.encoder;
    if (enc.ch_layout.nb_channels != decoded_->ch_layout.nb_channels) ost.needs_resampling = true;
    if (needs_conversion(ost)) open_audio_resampler(ost);
    if (!sync_audio(ost, ist, data, size)) return;
    const std::uint8_t* out = data;
    int out_size = size;
    if (needs_conversion(ost)) {
        const int input_samples = size / (2 * decoded_->ch_layout.nb_channels);
        const int converted = ost.resampler.convert(data, input_samples, audio_buf_);
        if (converted < 0) {
            if (engine_.exit_on_error) throw FFmpegException("av_audio_convert() failed");
            log(0, "av_audio_convert() failed");
            return;
        }
        out = audio_buf_.data();
        out_size = converted * output_sample_bytes(enc);
    }
    const int kept = samples_before_recording_end(ost, out_size / output_sample_bytes(enc));
    if (kept > 0) queue_audio(ost, out, kept * output_sample_bytes(enc));
}

int TTranscoder::samples_before_recording_end(OutputStream& ost, int samples) {
    const std::int64_t position =
        ost.sync_pts + static_cast<std::int64_t>(fifo_bytes(ost)) / output_sample_bytes(*ost.encoder);
    const std::int64_t room = recording_end(AVRational{1, ost.encoder->sample_rate}) - position;
    if (room <= 0) ost.finished = true;
    return static_cast<int>(std::clamp<std::int64_t>(room, 0, samples));
}

void TTranscoder::open_audio_resampler(OutputStream& ost) {
    const int rate = decoded_->sample_rate;
    const int channels = decoded_->ch_layout.nb_channels;
    if (ost.resampler.is_open() && ost.resampler.accepts(rate, channels)) return;
    const AVCodecContext& enc = *ost.encoder;
    if (ost.needs_resampling && decoded_->format != AV_SAMPLE_FMT_S16 && engine_.verbose > 0)
        log(1, "Warning, using s16 intermediate sample format for resampling");
    if (ost.resampler.open(rate, channels, {enc.sample_fmt, enc.sample_rate, enc.ch_layout})) return;
    if (ost.needs_resampling) {
        throw FFmpegException(format_text("Can not resample %d channels @ %d Hz to %d channels @ %d Hz", channels, rate,
                                          enc.ch_layout.nb_channels, enc.sample_rate));
    }
    throw FFmpegException(format_text("Cannot convert %s sample format to %s sample format",
                                      ff::av_get_sample_fmt_name(AV_SAMPLE_FMT_S16),
                                      ff::av_get_sample_fmt_name(enc.sample_fmt)));
}

bool TTranscoder::sync_audio(OutputStream& ost, InputStream& ist, const std::uint8_t*& data, int& size) {
    const AVCodecContext& enc = *ost.encoder;
    const std::int64_t buffered = static_cast<std::int64_t>(fifo_bytes(ost)) / output_sample_bytes(enc);
    const double input_time = static_cast<double>(input_time_us(ost)) / 1000000;
    if (engine_.audio_sync_method == 0) {
        ost.sync_pts = std::llround(input_time * enc.sample_rate) - buffered;
        return true;
    }
    const TAudioSyncAction action = decide_audio_sync(
        {engine_.audio_sync_method, engine_.audio_drift_threshold, input_time, enc.sample_rate, decoded_->sample_rate,
         decoded_->ch_layout.nb_channels, ost.sync_pts, buffered, size, ist.at_start});
    if (action.ends_start) ist.at_start = false;
    switch (action.kind) {
        case TAudioSyncKind::kCut:
            data += action.bytes;
            size -= action.bytes;
            if (engine_.verbose > 2)
                log(1, format_text("discarding %d audio samples", static_cast<int>(-action.delta)));
            return size > 0;
        case TAudioSyncKind::kPad:
            silence_buffer_.assign(static_cast<std::size_t>(action.bytes), 0);
            silence_buffer_.insert(silence_buffer_.end(), data, data + size);
            data = silence_buffer_.data();
            size += action.bytes;
            if (engine_.verbose > 2)
                log(1, format_text("adding %d audio samples of silence", static_cast<int>(action.delta)));
            return true;
        case TAudioSyncKind::kCompensate:
            if (engine_.verbose > 2) {
                log(1, format_text("compensating audio timestamp drift:%.2f compensation:%d in:%d", action.delta,
                                   action.compensation, enc.sample_rate));
            }
            ost.resampler.compensate(action.compensation, enc.sample_rate);
            return true;
        case TAudioSyncKind::kNone: return true;
    }
    return true;
}

void TTranscoder::queue_audio(OutputStream& ost, const std::uint8_t* data, int size) {
    const AVCodecContext& enc = *ost.encoder;
    const int sample_bytes = output_sample_bytes(enc);
    if (enc.frame_size <= 1) {
        const int samples = size / sample_bytes;
        ost.sync_pts += samples;
        if (samples > 0) encode_audio_frame(ost, data, samples, samples);
        return;
    }
    const std::size_t room = ff::av_fifo_can_write(ost.sample_fifo.get());
    const std::size_t needed = static_cast<std::size_t>(size);
    if ((room < needed && ff::av_fifo_grow2(ost.sample_fifo.get(), needed - room) < 0) ||
        ff::av_fifo_write(ost.sample_fifo.get(), data, static_cast<std::size_t>(size)) < 0)
        throw FFmpegException("av_fifo_realloc2() failed");
    const std::size_t frame_bytes = static_cast<std::size_t>(enc.frame_size) * sample_bytes;
    while (fifo_bytes(ost) >= frame_bytes) {
        audio_buf_.resize(frame_bytes);
        ff::av_fifo_read(ost.sample_fifo.get(), audio_buf_.data(), frame_bytes);
        encode_audio_frame(ost, audio_buf_.data(), enc.frame_size, enc.frame_size);
        ost.sync_pts += enc.frame_size;
    }
}

void TTranscoder::encode_audio_frame(OutputStream& ost, const std::uint8_t* data, int samples, int frame_samples) {
    const AVCodecContext& enc = *ost.encoder;
    FramePtr frame = allocate_frame();
    frame->nb_samples = frame_samples;
    frame->format = enc.sample_fmt;
    frame->sample_rate = enc.sample_rate;
    if (ff::av_channel_layout_copy(&frame->ch_layout, &enc.ch_layout) < 0 ||
        ff::av_frame_get_buffer(frame.get(), 0) < 0)
        throw FFmpegException("Audio encoding failed");
    if (samples < frame_samples) {
        ff::av_samples_set_silence(frame->extended_data, 0, frame_samples, enc.ch_layout.nb_channels, enc.sample_fmt);
    }
    fill_audio_frame(*frame, data, samples);
    // Jitter in the input times must not make the encoder's times go back. Outputs written
    // sample by sample count samples: a time taken from the input again would leave gaps
    // wherever the resampler holds samples back, and DV refuses frames with gaps in the sound.
    const bool sample_by_sample = enc.frame_size <= 1;
    const std::int64_t pts = ost.sync_pts - (sample_by_sample ? samples : 0);
    if (ost.audio_frame_end == AV_NOPTS_VALUE) {
        frame->pts = pts;
    } else {
        frame->pts = sample_by_sample ? ost.audio_frame_end : std::max(pts, ost.audio_frame_end);
    }
    ost.audio_frame_end = frame->pts + frame_samples;
    drain_encoder(ost, frame.get(), "Audio encoding failed");
}

void TTranscoder::flush_audio_encoder(OutputStream& ost) {
    const AVCodecContext& enc = *ost.encoder;
    const std::size_t left = fifo_bytes(ost);
    if (left > 0) {
        audio_buf_.resize(left);
        ff::av_fifo_read(ost.sample_fifo.get(), audio_buf_.data(), left);
        const int samples = static_cast<int>(left) / output_sample_bytes(enc);
        // Encoders that take only whole frames get the last one completed with silence, so no
        // audio is lost at the end.
        const bool short_frame_allowed = enc.codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
        encode_audio_frame(ost, audio_buf_.data(), samples, short_frame_allowed ? samples : enc.frame_size);
    }
    drain_encoder(ost, nullptr, "Audio encoding failed");
}

}  // namespace brenvale
