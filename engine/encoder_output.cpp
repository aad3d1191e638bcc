// What comes out of an encoder: its packets, the statistics it reports with them, and the
// first-pass statistics text.
#include <cstdio>

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr std::size_t kQualityStatsHeader = 8;  // quality, picture type, error count, reserved

}  // namespace

int TTranscoder::drain_encoder(OutputStream& ost, const AVFrame* frame, const char* failure) {
    AVCodecContext* enc = ost.encoder;
    const int sent = ff::avcodec_send_frame(enc, frame);
    if (sent < 0 && !(frame == nullptr && sent == AVERROR_EOF)) throw FFmpegException(failure);
    const bool video = enc->codec_type == AVMEDIA_TYPE_VIDEO;
    int bytes = 0;
    for (;;) {
        const int received = ff::avcodec_receive_packet(enc, encoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return bytes;
        if (received < 0) throw FFmpegException(failure);
        bytes += encoded_->size;
        (video ? engine_.video_size : engine_.audio_size) += encoded_->size;
        take_coded_frame(ost, *encoded_);
        // Some encoders leave packets without a duration; muxers then lose the last one's.
        if (video && encoded_->duration == 0) encoded_->duration = 1;
        ff::av_packet_rescale_ts(encoded_.get(), enc->time_base, ost.stream->time_base);
        encoded_->stream_index = ost.stream_index;
        if (video && ost.pass_log_file && enc->stats_out) std::fprintf(ost.pass_log_file.get(), "%s", enc->stats_out);
        write_packet(ost, *encoded_);
    }
}

void TTranscoder::take_coded_frame(OutputStream& ost, const AVPacket& packet) {
    TCodedFrame& coded = ost.coded_frame;
    coded.key_frame = packet.flags & AV_PKT_FLAG_KEY;
    std::size_t size = 0;
    const std::uint8_t* stats = ff::av_packet_get_side_data(&packet, AV_PKT_DATA_QUALITY_STATS, &size);
    if (!stats || size < kQualityStatsHeader) return;
    coded.quality = static_cast<int>(AV_RL32(stats));
    coded.pict_type = stats[4];
    const std::size_t errors = stats[5];
    for (std::size_t i = 0; i < coded.error.size(); ++i) {
        const bool present = i < errors && kQualityStatsHeader + 8 * (i + 1) <= size;
        coded.error[i] = present ? static_cast<std::int64_t>(AV_RL64(stats + kQualityStatsHeader + 8 * i)) : 0;
    }
}

}  // namespace brenvale
