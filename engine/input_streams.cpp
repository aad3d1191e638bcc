#include "engine/input_streams.h"

#include <string>

#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "engine/codec_owner.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"

namespace brenvale {
namespace {

constexpr double kDefaultAspect = 4.0 / 3.0;

bool is_known_media_type(AVMediaType type) { return type >= AVMEDIA_TYPE_UNKNOWN && type < AVMEDIA_TYPE_NB; }

// A ratio with a zero or negative term says nothing.
double ratio_or_zero(AVRational ratio) { return ratio.num > 0 && ratio.den > 0 ? av_q2d(ratio) : 0.0; }

float input_aspect_ratio(int width, int height, AVRational stream_aspect, AVRational codec_aspect) {
    const double sample_aspect = stream_aspect.num != 0 ? ratio_or_zero(stream_aspect) : ratio_or_zero(codec_aspect);
    if (width > 0 && height > 0) {
        const double pixel_aspect = sample_aspect != 0.0 ? sample_aspect : 1.0;
        return static_cast<float>(width * pixel_aspect / height);
    }
    return static_cast<float>(sample_aspect != 0.0 ? sample_aspect : kDefaultAspect);
}

const std::string& forced_decoder_name(const TCustomFFmpeg& engine, AVMediaType type) {
    static const std::string none;
    switch (type) {
        case AVMEDIA_TYPE_VIDEO: return engine.video_codec_name;
        case AVMEDIA_TYPE_AUDIO: return engine.audio_codec_name;
        case AVMEDIA_TYPE_SUBTITLE: return engine.subtitle_codec_name;
        default: return none;
    }
}

int decoder_option_flags(AVMediaType type) {
    const int type_flag = type == AVMEDIA_TYPE_VIDEO ? AV_OPT_FLAG_VIDEO_PARAM : AV_OPT_FLAG_AUDIO_PARAM;
    return type_flag | AV_OPT_FLAG_DECODING_PARAM;
}

CodecContextPtr make_decoder(TCustomFFmpeg& engine, const AVStream* stream) {
    const AVCodecParameters* parameters = stream->codecpar;
    const AVCodec* forced = decoder_named(forced_decoder_name(engine, parameters->codec_type));
    // The decoder the run will open, so that its private options can be set now.
    CodecContextPtr decoder(ff::avcodec_alloc_context3(forced ? forced : ff::avcodec_find_decoder(parameters->codec_id)));
    if (!decoder || ff::avcodec_parameters_to_context(decoder.get(), parameters) < 0) return nullptr;
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = engine.thread_count;
    mark_codec_owner(decoder.get(), engine);
    if (parameters->codec_type == AVMEDIA_TYPE_VIDEO || parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
        engine.apply_generic_options(decoder.get(),
                                     engine.option_context.codec_opts[static_cast<std::size_t>(parameters->codec_type)],
                                     decoder_option_flags(parameters->codec_type));
    }
    return decoder;
}

void report_frame_rate_difference(TCustomFFmpeg& engine, int index, AVRational codec_time_base,
                                  AVRational stream_rate) {
    // A rate the library does not know compares with nothing.
    if (codec_time_base.num <= 0 || codec_time_base.den <= 0 || stream_rate.num <= 0 || stream_rate.den <= 0) return;
    if (codec_time_base.den == stream_rate.num && codec_time_base.num == stream_rate.den) return;
    if (engine.verbose <= 0 || !engine.on_log) return;
    const std::string message = format_text(
        "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)", index,
        1.0 / av_q2d(codec_time_base), codec_time_base.den, codec_time_base.num, av_q2d(stream_rate), stream_rate.num,
        stream_rate.den);
    engine.on_log(engine, 1, message);
}

std::int64_t channel_layout_mask(const AVChannelLayout& layout) {
    return layout.order == AV_CHANNEL_ORDER_NATIVE ? static_cast<std::int64_t>(layout.u.mask) : 0;
}

void take_audio_properties(TCustomFFmpeg& engine, AVStream* stream, const AVCodecContext& decoder) {
    engine.channel_layout = channel_layout_mask(decoder.ch_layout);
    engine.audio_channels = decoder.ch_layout.nb_channels;
    engine.audio_sample_rate = decoder.sample_rate;
    engine.audio_sample_fmt = decoder.sample_fmt;
    engine.add_input_codec(decoder_named(engine.audio_codec_name));
    if (engine.audio_disable) stream->discard = AVDISCARD_ALL;
}

void take_video_properties(TCustomFFmpeg& engine, AVStream* stream, AVCodecContext& decoder) {
    engine.frame_height = decoder.height;
    engine.frame_width = decoder.width;
    engine.frame_aspect_ratio =
        input_aspect_ratio(decoder.width, decoder.height, stream->sample_aspect_ratio, decoder.sample_aspect_ratio);
    if (decoder.pix_fmt == AV_PIX_FMT_NONE) decoder.pix_fmt = AV_PIX_FMT_YUV420P;
    engine.frame_pix_fmt = decoder.pix_fmt;
    engine.frame_pix_fmt_asked = false;
    report_frame_rate_difference(engine, stream->index, ff::av_stream_get_codec_timebase(stream),
                                 stream->r_frame_rate);
    engine.frame_rate = stream->r_frame_rate;
    engine.add_input_codec(decoder_named(engine.video_codec_name));
    if (engine.video_disable) {
        stream->discard = AVDISCARD_ALL;
    } else if (engine.video_discard != 0) {
        stream->discard = static_cast<AVDiscard>(engine.video_discard);
    }
}

void take_subtitle_properties(TCustomFFmpeg& engine, AVStream* stream) {
    engine.add_input_codec(decoder_named(engine.subtitle_codec_name));
    if (engine.subtitle_disable) stream->discard = AVDISCARD_ALL;
}

}  // namespace

const AVCodec* decoder_named(const std::string& name) {
    return name.empty() ? nullptr : ff::avcodec_find_decoder_by_name(name.c_str());
}

bool make_input_decoders(TCustomFFmpeg& engine, AVFormatContext* input, std::vector<CodecContextPtr>& decoders) {
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        if (!is_known_media_type(input->streams[i]->codecpar->codec_type)) throw FFmpegException("invalid codec_type");
    }
    decoders.clear();
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        CodecContextPtr decoder = make_decoder(engine, input->streams[i]);
        if (!decoder) return false;
        decoders.push_back(std::move(decoder));
    }
    return true;
}

void take_stream_properties(TCustomFFmpeg& engine, AVFormatContext* input, const std::vector<CodecContextPtr>& decoders) {
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = input->streams[i];
        AVCodecContext& decoder = *decoders[i];
        // A cover's size and rate (a still at 90000 frames a second) are no picture's.
        if (IsAttachedPicture(*stream)) {
            engine.add_input_codec(nullptr);
            continue;
        }
        switch (decoder.codec_type) {
            case AVMEDIA_TYPE_AUDIO: take_audio_properties(engine, stream, decoder); break;
            case AVMEDIA_TYPE_VIDEO: take_video_properties(engine, stream, decoder); break;
            case AVMEDIA_TYPE_SUBTITLE: take_subtitle_properties(engine, stream); break;
            // Every other stream keeps its place in the table with the automatic choice.
            default: engine.add_input_codec(nullptr); break;
        }
    }
}

TCustomFFmpeg::TInputKinds TCustomFFmpeg::check_audio_video_sub_inputs() const {
    TInputKinds kinds;
    for (int file = 0; file < input_file_count; ++file) {
        const AVFormatContext* input = input_files[static_cast<std::size_t>(file)];
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            const AVStream& stream = *input->streams[i];
            const AVMediaType type = stream.codecpar->codec_type;
            if (!is_known_media_type(type)) throw FFmpegException("invalid codec_type of input file");
            kinds.has_video |= IsVideoStream(stream);
            kinds.has_audio |= type == AVMEDIA_TYPE_AUDIO;
            kinds.has_subtitle |= type == AVMEDIA_TYPE_SUBTITLE;
        }
    }
    return kinds;
}

}  // namespace brenvale
