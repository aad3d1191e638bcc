// new_audio_stream and new_subtitle_stream: audio and subtitle streams of an output, copied or
// encoded, from the pending settings.
#include <bit>

#include "engine/custom_ffmpeg.h"
#include "engine/output_stream_draft.h"
#include "engine/output_stream_values.h"

namespace brenvale {
namespace {

constexpr float kNoAudioQuality = -99999.0f;

// The pending layout when it has `channel_count` channels, else the usual layout of that many.
void set_channels(AVCodecContext* codec, int channel_count, std::int64_t layout_mask) {
    ff::av_channel_layout_uninit(&codec->ch_layout);
    const auto mask = static_cast<std::uint64_t>(layout_mask);
    if (mask != 0 && std::popcount(mask) == channel_count) {
        ff::av_channel_layout_from_mask(&codec->ch_layout, mask);
    } else {
        ff::av_channel_layout_default(&codec->ch_layout, channel_count);
    }
}

void set_audio_encoding(const TCustomFFmpeg& engine, const AVCodec* encoder, AVCodecContext* codec) {
    if (engine.audio_qscale > kNoAudioQuality) {
        codec->flags |= AV_CODEC_FLAG_QSCALE;
        codec->global_quality = static_cast<int>(FF_QP2LAMBDA * engine.audio_qscale);
    }
    set_channels(codec, engine.audio_channels, engine.channel_layout);
    codec->sample_fmt = static_cast<AVSampleFormat>(
        supported_sample_format(encoder ? encoder->sample_fmts : nullptr, engine.audio_sample_fmt));
}

void describe_audio_stream(TCustomFFmpeg& engine, AVFormatContext* context) {
    const bool copy = engine.audio_stream_copy != 0;
    const TEncoderChoice choice =
        copy ? TEncoderChoice{} : choose_encoder(engine, context, engine.audio_codec_name, AVMEDIA_TYPE_AUDIO);
    TStreamDraft draft(engine, context, choice, AVMEDIA_TYPE_AUDIO);
    AVCodecContext* codec = draft.codec();
    if (engine.audio_codec_tag != 0) codec->codec_tag = engine.audio_codec_tag;
    if (format_wants_global_header(context)) draft.add_header_flags(AVMEDIA_TYPE_AUDIO, AV_CODEC_FLAG_GLOBAL_HEADER, 0);
    if (copy) {
        draft.mark_copied();
        set_channels(codec, engine.audio_channels, 0);
    } else {
        draft.apply_generic_options(AVMEDIA_TYPE_AUDIO, AV_OPT_FLAG_AUDIO_PARAM);
        set_audio_encoding(engine, choice.encoder, codec);
    }
    codec->sample_rate = engine.audio_sample_rate;
    codec->time_base = AVRational{1, engine.audio_sample_rate};
    draft.add_to(context, engine.audio_bsf_chain, engine.audio_language);
}

// Subtitle encoders are never guessed: without a name the codec stays unset.
void describe_subtitle_stream(TCustomFFmpeg& engine, AVFormatContext* context) {
    const bool copy = engine.subtitle_stream_copy != 0;
    const TEncoderChoice choice =
        copy || engine.subtitle_codec_name.empty()
            ? TEncoderChoice{}
            : choose_named_encoder(engine, engine.subtitle_codec_name, AVMEDIA_TYPE_SUBTITLE);
    TStreamDraft draft(engine, context, choice, AVMEDIA_TYPE_SUBTITLE);
    if (copy) {
        draft.mark_copied();
    } else {
        draft.apply_generic_options(AVMEDIA_TYPE_SUBTITLE, AV_OPT_FLAG_SUBTITLE_PARAM);
    }
    draft.add_to(context, engine.subtitle_bsf_chain, engine.subtitle_language);
}

}  // namespace

void TCustomFFmpeg::new_audio_stream(AVFormatContext* context) {
    try {
        describe_audio_stream(*this, context);
    } catch (...) {
        audio_codec_name.clear();
        audio_language.clear();
        throw;
    }
    audio_language.clear();
    audio_disable = false;
    audio_codec_name.clear();
    audio_stream_copy = 0;
}

void TCustomFFmpeg::new_subtitle_stream(AVFormatContext* context) {
    try {
        describe_subtitle_stream(*this, context);
    } catch (...) {
        subtitle_codec_name.clear();
        subtitle_language.clear();
        throw;
    }
    subtitle_language.clear();
    subtitle_disable = false;
    subtitle_codec_name.clear();
    subtitle_stream_copy = 0;
}

}  // namespace brenvale
