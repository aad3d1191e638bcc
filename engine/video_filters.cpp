// The video filter chain of a decoded video stream: built at set-up for the re-encoded output it
// feeds, fed with every decoded picture, drained picture by picture and at the end of the input.
// With the chain in use, the output path no longer crops or scales; it still pads.
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr char kCropRefused[] = "Cannot enable crop options and filters at the same time.";
constexpr char kPadRefused[] =
    "Cannot enable pad options and the filters which resize frame at the same time. "
    "(crop, rotate, scale, transpose, etc.)";
constexpr char kFilteringFailed[] = "Error while filtering video";

// The decoded pictures enter as they are; a scale step first when the encoder's inner area
// (its size without the padding) differs from them.
TFilterChainSetup chain_setup(const TJobSettings& s, const AVCodecParameters& dec, const AVCodecContext& enc) {
    TFilterChainSetup setup;
    setup.width = dec.width;
    setup.height = dec.height;
    setup.pix_fmt = dec.format;
    setup.sample_aspect_ratio = dec.sample_aspect_ratio;
    const int inner_width = enc.width - s.pad_left - s.pad_right;
    const int inner_height = enc.height - s.pad_top - s.pad_bottom;
    if (dec.width != inner_width || dec.height != inner_height) {
        setup.scale_width = inner_width;
        setup.scale_height = inner_height;
    }
    setup.filters = s.video_filters;
    setup.output_pix_fmt = enc.pix_fmt;
    setup.sws_flags = s.sws_flags;
    return setup;
}

}  // namespace

bool TTranscoder::configure_filters(InputStream& ist, OutputStream& ost) {
    const TJobSettings& s = engine_;
    if (s.crop_left + s.crop_right + s.crop_top + s.crop_bottom != 0) {
        engine_.last_error = kCropRefused;
        return false;
    }
    // A further output of the same input takes the chain's pictures; its output path scales them.
    if (ist.filters.configured()) return true;
    read_sws_flags();
    AVCodecContext& enc = *ost.encoder;
    if (!ist.filters.configure(chain_setup(s, *ist.stream->codecpar, enc))) return false;
    const int width = ist.filters.output_width();
    const int height = ist.filters.output_height();
    const bool padded = s.pad_top + s.pad_bottom + s.pad_left + s.pad_right != 0;
    if (padded && (width != s.frame_width || height != s.frame_height)) {
        engine_.last_error = kPadRefused;
        return false;
    }
    enc.width = width + s.pad_left + s.pad_right;
    enc.height = height + s.pad_top + s.pad_bottom;
    // The encoder and the muxer must agree on the filtered pictures' pixel shape.
    const AVRational aspect = ist.filters.output_sample_aspect_ratio();
    if (aspect.num != 0) enc.sample_aspect_ratio = ost.stream->sample_aspect_ratio = aspect;
    return true;
}

void TTranscoder::filter_picture(InputStream& ist, int ist_number) {
    if (!ist.filters.push(*decoded_, ist.pts)) throw FFmpegException(kFilteringFailed);
    deliver_filtered(ist, ist_number);
}

// Each filtered picture carries its own time, which becomes the input stream's.
void TTranscoder::deliver_filtered(InputStream& ist, int ist_number) {
    for (;;) {
        ff::av_frame_unref(decoded_.get());
        const int pulled = ist.filters.pull(*decoded_, ist.pts);
        if (pulled < 0) throw FFmpegException(kFilteringFailed);
        if (pulled == 0) return;
        encode_outputs(ist, ist_number, nullptr, nullptr);
    }
}

// Filters may hold pictures back (frame blending, reordering): they are encoded before the encoders drain.
void TTranscoder::drain_filters(InputStream& ist, int ist_number) {
    if (!ist.filters.configured()) return;
    if (!ist.filters.close()) throw FFmpegException(kFilteringFailed);
    deliver_filtered(ist, ist_number);
}

}  // namespace brenvale
