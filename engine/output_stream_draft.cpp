#include "engine/output_stream_draft.h"

#include "engine/codec_owner.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"

namespace brenvale {
namespace {

// An output being created is not registered yet: it comes after the registered ones.
int output_index_of(const TCustomFFmpeg& engine, const AVFormatContext* context) {
    for (int i = 0; i < engine.output_file_count; ++i) {
        if (engine.output_files[static_cast<std::size_t>(i)] == context) return i;
    }
    return engine.output_file_count;
}

TOutputStreamSetup& next_stream_setup(TCustomFFmpeg& engine, const AVFormatContext* context) {
    if (context->nb_streams >= static_cast<unsigned>(MAX_STREAMS)) {
        throw FFmpegException("Too many streams in one output file (at most " + std::to_string(MAX_STREAMS) + ")");
    }
    return engine.output_stream_setups[static_cast<std::size_t>(output_index_of(engine, context))]
                                      [context->nb_streams];
}

AVCodecContext* holder_of(TCustomFFmpeg& engine, AVMediaType type) {
    return engine.option_context.codec_opts[static_cast<std::size_t>(type)];
}

}  // namespace

TEncoderChoice choose_named_encoder(TCustomFFmpeg& engine, const std::string& name, AVMediaType type) {
    AVCodecID id = AV_CODEC_ID_NONE;
    if (!engine.find_codec(name, type, true, id)) throw FFmpegException(engine.last_error);
    const AVCodec* encoder = ff::avcodec_find_encoder_by_name(name.c_str());
    return {encoder, encoder, id};
}

TEncoderChoice choose_encoder(TCustomFFmpeg& engine, const AVFormatContext* context, const std::string& name,
                              AVMediaType type) {
    if (!name.empty()) return choose_named_encoder(engine, name, type);
    const AVCodecID id = ff::av_guess_codec(context->oformat, nullptr, context->url, nullptr, type);
    return {nullptr, ff::avcodec_find_encoder(id), id};
}

TStreamDraft::TStreamDraft(TCustomFFmpeg& engine, const AVFormatContext* context, const TEncoderChoice& choice,
                           AVMediaType type)
    : engine_(engine), setup_(next_stream_setup(engine, context)), named_encoder_(choice.named) {
    setup_.release();
    // Allocated with its encoder, so that the encoder's private options can be set on it.
    setup_.codec = ff::avcodec_alloc_context3(choice.encoder);
    if (!setup_.codec) throw FFmpegException("Could not alloc stream");
    setup_.codec->codec_type = type;
    setup_.codec->codec_id = choice.codec_id;
    setup_.codec->thread_count = engine.thread_count;
    mark_codec_owner(setup_.codec, engine);
}

TStreamDraft::~TStreamDraft() {
    if (!added_) setup_.release();
}

AVCodecContext* TStreamDraft::codec() const { return setup_.codec; }

void TStreamDraft::mark_copied() { setup_.stream_copy = true; }

void TStreamDraft::apply_generic_options(AVMediaType type, int type_flag) {
    if (AVCodecContext* holder = holder_of(engine_, type)) {
        engine_.apply_generic_options(setup_.codec, holder, type_flag | AV_OPT_FLAG_ENCODING_PARAM);
    }
}

void TStreamDraft::add_header_flags(AVMediaType type, int flags, int flags2) {
    setup_.codec->flags |= flags;
    setup_.codec->flags2 |= flags2;
    if (AVCodecContext* holder = holder_of(engine_, type)) {
        holder->flags |= flags;
        holder->flags2 |= flags2;
    }
}

void TStreamDraft::add_to(AVFormatContext* context, TBitstreamFilterChain& pending_filters,
                          const std::string& language) {
    const int index = static_cast<int>(context->nb_streams);
    AVStream* stream = ff::avformat_new_stream(context, nullptr);
    if (!stream) throw FFmpegException("Could not alloc stream");
    added_ = true;
    stream->id = index;
    stream->sample_aspect_ratio = setup_.codec->sample_aspect_ratio;
    if (!language.empty()) ff::av_dict_set(&stream->metadata, "language", language.c_str(), 0);
    // A first description; the transcode set-up describes the stream again once it opened the encoder.
    ff::avcodec_parameters_from_context(stream->codecpar, setup_.codec);
    for (AVBSFContext* filter : pending_filters.take()) setup_.bitstream_filters.append(filter);
    engine_.add_output_codec(named_encoder_);
}

bool format_wants_global_header(const AVFormatContext* context) {
    return context->oformat && (context->oformat->flags & AVFMT_GLOBALHEADER);
}

}  // namespace brenvale
