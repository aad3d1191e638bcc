// The subtitle path: each decoded subtitle encoded once, DVB subtitles twice (shown, then
// cleared at their end).
#include <algorithm>
#include <vector>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr int kSubtitleBufferSize = 65536;
constexpr AVRational kMilliseconds{1, 1000};

}  // namespace

void TTranscoder::encode_subtitle(OutputStream& ost, InputStream& ist, const AVSubtitle& subtitle, std::int64_t pts) {
    if (pts == AV_NOPTS_VALUE) {
        if (engine_.exit_on_error) throw FFmpegException("Subtitle packets must have a pts");
        log(0, "Subtitle packets must have a pts");
        return;
    }
    std::vector<std::uint8_t> buffer(kSubtitleBufferSize);
    const bool dvb = ost.encoder->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    const AVRational to = ost.stream->time_base;
    const std::int64_t start = ff::av_rescale_q(pts, ist.stream->time_base, to) +
                               ff::av_rescale_q(subtitle.start_display_time, kMilliseconds, to);
    // Encoders want the display to start at the packet's time.
    AVSubtitle shown = subtitle;
    shown.end_display_time -= shown.start_display_time;
    shown.start_display_time = 0;
    for (int round = 0; round < (dvb ? 2 : 1); ++round) {
        if (round == 1) shown.num_rects = 0;
        const int size = ff::avcodec_encode_subtitle(ost.encoder, buffer.data(), kSubtitleBufferSize, &shown);
        if (size < 0) throw FFmpegException("Subtitle encoding failed");
        if (ff::av_new_packet(encoded_.get(), size) < 0) throw FFmpegException("av_malloc fail");
        std::copy_n(buffer.data(), size, encoded_->data);
        encoded_->stream_index = ost.stream_index;
        const std::int64_t shown_for = ff::av_rescale_q(shown.end_display_time, kMilliseconds, to);
        encoded_->pts = start + (round == 1 ? shown_for : 0);
        encoded_->dts = encoded_->pts;
        encoded_->duration = dvb ? 0 : shown_for;
        write_packet(ost, *encoded_);
    }
}

}  // namespace brenvale
