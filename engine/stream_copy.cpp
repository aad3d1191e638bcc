// Stream copy: packets of an input stream written unchanged to the output streams it feeds,
// with their times moved to the output's clock.
#include "binding/media_api.h"
#include "engine/output_timing.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/transcoder.h"

namespace brenvale {

void TTranscoder::copy_rounds(InputStream& ist, int ist_number, const AVPacket& packet) {
    if (!ist.needs_decoding) emulate_rate(ist);
    if (before_start(ist)) return;
    const bool ended = past_recording_time(ist);
    for (OutputStream& ost : output_streams_) {
        if (ost.source != ist_number || ost.needs_encoding || ost.finished) continue;
        if (ended) {
            ost.finished = true;
        } else {
            copy_packet(ost, ist, packet);
        }
    }
}

void TTranscoder::copy_packet(OutputStream& ost, InputStream& ist, const AVPacket& packet) {
    const bool key = packet.flags & AV_PKT_FLAG_KEY;
    if (ost.frame_number == 0 && !key && !engine_.copy_initial_nonkeyframes) return;
    ost.coded_frame.key_frame = key;
    if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
        engine_.audio_size += packet.size;
    } else if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
        engine_.video_size += packet.size;
        ost.sync_pts += 1;
    }
    if (ff::av_packet_ref(encoded_.get(), &packet) < 0) throw FFmpegException("av_malloc fail");
    const AVRational from = ist.stream->time_base;
    const AVRational to = ost.stream->time_base;
    // Re-encoded streams start at the start position; copied ones must start there too.
    const std::int64_t start = engine_.copy_ts ? 0 : ff::av_rescale_q(engine_.start_time, AV_TIME_BASE_Q, to);
    TPacketTimes times;
    times.pts = packet.pts != AV_NOPTS_VALUE ? ff::av_rescale_q(packet.pts, from, to) - start : AV_NOPTS_VALUE;
    times.dts = (packet.dts == AV_NOPTS_VALUE ? ff::av_rescale_q(ist.pts, AV_TIME_BASE_Q, to)
                                              : ff::av_rescale_q(packet.dts, from, to)) -
                start;
    times = rising_decode_times(times, ost.last_dts);
    ost.last_dts = times.dts;
    encoded_->stream_index = ost.stream_index;
    encoded_->pts = times.pts;
    encoded_->dts = times.dts;
    encoded_->duration = ff::av_rescale_q(packet.duration, from, to);
    write_packet(ost, *encoded_);
    ost.frame_number += 1;
}

}  // namespace brenvale
