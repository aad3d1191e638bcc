// The video path of an output stream: frame-rate sync by dropping or duplicating pictures,
// crop, scale and pad, and encoding of each copy.
#include <cmath>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/picture_ops.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"
#include "engine/video_sync.h"

namespace brenvale {
namespace {

constexpr int kInterlacedFlags = AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;

struct TPictureSize {
    int width = 0;
    int height = 0;
};

TPictureSize inner_size(const OutputStream& ost) {
    const AVCodecContext& enc = *ost.encoder;
    const TPadding& pad = ost.padding;
    return {enc.width - pad.left - pad.right, enc.height - pad.top - pad.bottom};
}

// The scaler knows full-range pictures only by their "yuvj" formats; high bit depth ones say so in
// the frame alone, and their contrast would grow if read as limited range.
void keep_full_range(SwsContext& scaler, const AVFrame& source) {
    const AVPixFmtDescriptor* format = ff::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(source.format));
    if (source.color_range != AVCOL_RANGE_JPEG || !format || (format->flags & AV_PIX_FMT_FLAG_RGB)) return;
    int* inverse_table = nullptr;
    int* table = nullptr;
    int source_range = 0;
    int target_range = 0;
    int brightness = 0;
    int contrast = 0;
    int saturation = 0;
    if (ff::sws_getColorspaceDetails(&scaler, &inverse_table, &source_range, &table, &target_range, &brightness,
                                     &contrast, &saturation) < 0 ||
        source_range == 1)
        return;
    ff::sws_setColorspaceDetails(&scaler, inverse_table, 1, table, target_range, brightness, contrast, saturation);
}

}  // namespace

void TTranscoder::encode_video(OutputStream& ost, InputStream& ist, AVFrame& picture, int& frame_size) {
    frame_size = 0;
    if (ost.finished) return;
    const TVideoSyncDecision decision = video_copies(ost, ist);
    const int copies = std::min(decision.copies, engine_.max_frames[0] - ost.frame_number);
    if (copies <= 0) return;
    FramePtr final_picture;
    if (!format_picture(ost, picture, final_picture)) return;
    const std::int64_t end = recording_end(ost.encoder_time_base);
    for (int i = 0; i < copies; ++i) {
        engine_.wait_while_paused();
        if (engine_.stop_requested) break;
        if (ost.sync_pts >= end) {
            ost.finished = true;
            break;
        }
        // Before the first picture there is none to hold: it fills the frames before its own.
        const bool hold = i < decision.held && ost.last_picture;
        const int bytes = encode_picture(ost, ist, hold ? *ost.last_picture : *final_picture, picture);
        if (bytes > 0) frame_size = bytes;
        ost.sync_pts += 1;
        ost.frame_number += 1;
    }
    ost.last_picture = std::move(final_picture);
}

TVideoSyncDecision TTranscoder::video_copies(OutputStream& ost, const InputStream&) {
    const double time_base = av_q2d(ost.encoder_time_base);
    TVideoSyncInput input;
    input.method = engine_.video_sync_method;
    input.encoder_time_base = time_base;
    input.variable_frame_rate_format = output_file(ost)->oformat->flags & AVFMT_VARIABLE_FPS;
    input.input_frames = static_cast<double>(input_time_us(ost)) / 1000000 / time_base;
    input.sync_pts = ost.sync_pts;
    const TVideoSyncDecision decision = decide_video_sync(input);
    ost.sync_pts = decision.sync_pts;
    if (decision.copies == 0) {
        engine_.frames_drop += 1;
        if (engine_.verbose > 2) log(1, "*** drop!");
    } else if (decision.copies > 1) {
        engine_.frames_dup += decision.copies;
        if (engine_.verbose > 2) log(1, format_text("*** %d dup!", decision.copies - 1));
    }
    return decision;
}

bool TTranscoder::format_picture(OutputStream& ost, AVFrame& picture, FramePtr& final_picture) {
    FramePtr formatted = allocate_frame();
    if (ff::av_frame_ref(formatted.get(), &picture) < 0) throw FFmpegException("av_malloc fail");
    if (!engine_.filters_enabled && ost.crop_enabled) {
        if (!crop_view(picture, picture.format, ost.crop.top, ost.crop.left, *formatted)) {
            if (engine_.exit_on_error) throw FFmpegException("error cropping picture");
            log(0, "error cropping picture");
            return false;
        }
        formatted->width -= ost.crop.right;
        formatted->height -= ost.crop.bottom;
    }
    const AVCodecContext& enc = *ost.encoder;
    const TPictureSize inner = inner_size(ost);
    const bool scale =
        formatted->width != inner.width || formatted->height != inner.height || formatted->format != enc.pix_fmt;
    if (!scale && !ost.pad_enabled) {
        final_picture = std::move(formatted);
        return true;
    }
    if (!ost.scaled_picture) ost.scaled_picture = allocate_frame();
    // A buffer the encoder no longer holds: it may still keep the previous pictures.
    if (!ost.scaled_pictures.fill(*ost.scaled_picture, enc.pix_fmt, enc.width, enc.height))
        throw FFmpegException("Cannot allocate temp picture, check pix fmt");
    if (scale) scale_picture(ost, *formatted);
    if (ost.pad_enabled && !pad_picture(*ost.scaled_picture, scale ? nullptr : formatted.get(), ost.padding,
                                        {engine_.pad_color_y, engine_.pad_color_u, engine_.pad_color_v})) {
        if (engine_.exit_on_error) throw FFmpegException("error padding picture");
        log(0, "error padding picture");
        return false;
    }
    final_picture = allocate_frame();
    if (ff::av_frame_ref(final_picture.get(), ost.scaled_picture.get()) < 0) throw FFmpegException("av_malloc fail");
    return true;
}

void TTranscoder::scale_picture(OutputStream& ost, const AVFrame& source) {
    const AVCodecContext& enc = *ost.encoder;
    const TPictureSize inner = inner_size(ost);
    FramePtr target = allocate_frame();
    if (ff::av_frame_ref(target.get(), ost.scaled_picture.get()) < 0) throw FFmpegException("av_malloc fail");
    if (ost.pad_enabled) {
        if (!crop_view(*ost.scaled_picture, enc.pix_fmt, ost.padding.top, ost.padding.left, *target))
            throw FFmpegException("error padding picture");
        target->width = inner.width;
        target->height = inner.height;
    }
    const TScaleShape shape{source.width, source.height, source.format, inner.width,
                            inner.height, enc.pix_fmt,   engine_.sws_flags};
    if (!ost.scaler.prepare(shape)) throw FFmpegException("Cannot get resampling context");
    keep_full_range(*ost.scaler.context(), source);
    if (!ost.scaler.scale(source, *target)) throw FFmpegException("Cannot get resampling context");
}

int TTranscoder::encode_picture(OutputStream& ost, const InputStream& ist, const AVFrame& final_picture,
                                const AVFrame& input_picture) {
    FramePtr big = allocate_frame();
    if (ff::av_frame_ref(big.get(), &final_picture) < 0) throw FFmpegException("av_malloc fail");
    big->interlaced_frame = input_picture.interlaced_frame;
    if (engine_.option_context.codec_opts[AVMEDIA_TYPE_VIDEO]->flags & kInterlacedFlags)
        big->top_field_first = engine_.top_field_first != -1 ? engine_.top_field_first : input_picture.top_field_first;
    big->quality = engine_.same_quality ? ist.quality : ost.encoder->global_quality;
    if (engine_.me_threshold == 0) big->pict_type = AV_PICTURE_TYPE_NONE;
    big->pts = ost.sync_pts;
    big->pkt_duration = 1;
    const int bytes = drain_encoder(ost, big.get(), "Video encoding failed");
    // The picture the encoder took, with its own time: with queued encoders the packets that come
    // out belong to earlier pictures.
    if (engine_.preview_flags.load()) engine_.deliver_preview(*big, *ost.encoder);
    return bytes;
}

}  // namespace brenvale
