// new_video_stream: a video stream of an output, copied or encoded, from the pending settings.
#include <cstring>
#include <optional>
#include <vector>

#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/output_stream_draft.h"
#include "engine/output_stream_values.h"

namespace brenvale {
namespace {

constexpr AVRational kDefaultFrameRate{25, 1};
constexpr int kMatrixSize = 64;
constexpr int kGlobalHeader = 1;  // bits of video_global_header
constexpr int kLocalHeader = 2;

// The codec context frees what it holds with the library's allocator.
template <typename T>
T* library_copy(const T* values, std::size_t count) {
    auto* copy = static_cast<T*>(ff::av_malloc(count * sizeof(T)));
    if (!copy) throw FFmpegException("Could not alloc stream");
    std::memcpy(copy, values, count * sizeof(T));
    return copy;
}

std::vector<RcOverride> pending_rc_override(const TCustomFFmpeg& engine) {
    if (engine.rc_override.empty()) return {};
    std::optional<std::vector<RcOverride>> overrides = parse_rc_override(engine.rc_override);
    if (!overrides) throw FFmpegException("error parsing rc_override");
    return *overrides;
}

void set_video_headers(const TCustomFFmpeg& engine, const AVFormatContext* context, TStreamDraft& draft) {
    const int mode = engine.video_global_header;
    const bool global = (mode & kGlobalHeader) || (mode == 0 && format_wants_global_header(context));
    draft.add_header_flags(AVMEDIA_TYPE_VIDEO, global ? AV_CODEC_FLAG_GLOBAL_HEADER : 0,
                           (mode & kLocalHeader) ? AV_CODEC_FLAG2_LOCAL_HEADER : 0);
}

// The nearest rate the encoder supports, unless the rate is forced.
AVRational encoder_frame_rate(const TCustomFFmpeg& engine, const AVCodec* encoder) {
    const AVRational rate = engine.frame_rate.num != 0 ? engine.frame_rate : kDefaultFrameRate;
    if (!encoder || !encoder->supported_framerates || engine.force_fps) return rate;
    return encoder->supported_framerates[ff::av_find_nearest_q_idx(rate, encoder->supported_framerates)];
}

// The padded picture, its pixel shape and a pixel format the encoder accepts.
void set_picture(const TCustomFFmpeg& engine, const AVCodec* encoder, AVCodecContext* codec) {
    const AVRational rate = encoder_frame_rate(engine, encoder);
    codec->time_base = AVRational{rate.den, rate.num};
    codec->width = engine.frame_width + engine.pad_left + engine.pad_right;
    codec->height = engine.frame_height + engine.pad_top + engine.pad_bottom;
    codec->sample_aspect_ratio = output_sample_aspect_ratio(engine.frame_aspect_ratio, codec->width, codec->height);
    const AVPixelFormat* formats = encoder ? encoder->pix_fmts : nullptr;
    const int format = supported_pixel_format(formats, engine.frame_pix_fmt);
    codec->pix_fmt = static_cast<AVPixelFormat>(
        engine.frame_pix_fmt_asked ? format : preferred_range_format(formats, format));
}

void set_quality(const TCustomFFmpeg& engine, const std::vector<RcOverride>& overrides, AVCodecContext* codec) {
    if (engine.intra_only) codec->gop_size = 0;
    if (engine.video_qscale != 0.0f || engine.same_quality) {
        codec->flags |= AV_CODEC_FLAG_QSCALE;
        codec->global_quality = static_cast<int>(FF_QP2LAMBDA * engine.video_qscale);
    }
    if (engine.intra_matrix) codec->intra_matrix = library_copy(engine.intra_matrix, kMatrixSize);
    if (engine.inter_matrix) codec->inter_matrix = library_copy(engine.inter_matrix, kMatrixSize);
    if (!overrides.empty()) {
        codec->rc_override = library_copy(overrides.data(), overrides.size());
        codec->rc_override_count = static_cast<int>(overrides.size());
    }
    if (codec->rc_initial_buffer_occupancy == 0) codec->rc_initial_buffer_occupancy = codec->rc_buffer_size * 3 / 4;
    codec->intra_dc_precision = engine.intra_dc_precision - 8;
}

void set_pass_flags(const TCustomFFmpeg& engine, AVCodecContext* codec) {
    if (engine.do_psnr) codec->flags |= AV_CODEC_FLAG_PSNR;
    if (engine.pass == 1) codec->flags |= AV_CODEC_FLAG_PASS1;
    if (engine.pass == 2) codec->flags |= AV_CODEC_FLAG_PASS2;
}

void describe_video_stream(TCustomFFmpeg& engine, AVFormatContext* context) {
    const bool copy = engine.video_stream_copy != 0;
    const TEncoderChoice choice =
        copy ? TEncoderChoice{} : choose_encoder(engine, context, engine.video_codec_name, AVMEDIA_TYPE_VIDEO);
    const std::vector<RcOverride> overrides = copy ? std::vector<RcOverride>{} : pending_rc_override(engine);
    TStreamDraft draft(engine, context, choice, AVMEDIA_TYPE_VIDEO);
    AVCodecContext* codec = draft.codec();
    if (engine.video_codec_tag != 0) codec->codec_tag = engine.video_codec_tag;
    set_video_headers(engine, context, draft);
    if (copy) {
        draft.mark_copied();
        codec->sample_aspect_ratio =
            output_sample_aspect_ratio(engine.frame_aspect_ratio, engine.frame_width, engine.frame_height);
    } else {
        draft.apply_generic_options(AVMEDIA_TYPE_VIDEO, AV_OPT_FLAG_VIDEO_PARAM);
        set_picture(engine, choice.encoder, codec);
        set_quality(engine, overrides, codec);
        set_pass_flags(engine, codec);
    }
    draft.add_to(context, engine.video_bsf_chain, {});
}

}  // namespace

void TCustomFFmpeg::new_video_stream(AVFormatContext* context) {
    try {
        describe_video_stream(*this, context);
    } catch (...) {
        video_codec_name.clear();
        throw;
    }
    video_disable = false;
    video_codec_name.clear();
    video_stream_copy = 0;
}

}  // namespace brenvale
