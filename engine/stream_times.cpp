#include "engine/stream_times.h"

#include "binding/media_api.h"
#include "engine/transcode_tables.h"

namespace brenvale {

std::int64_t to_microseconds(std::int64_t value, AVRational time_base) {
    return ff::av_rescale_q(value, time_base, AV_TIME_BASE_Q);
}

std::int64_t frame_duration_us(const InputStream& ist, int repeat_pict) {
    AVRational rate = ist.decoder ? ist.decoder->framerate : AVRational{0, 1};
    if (rate.num <= 0 || rate.den <= 0) rate = ist.stream->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) rate = ist.stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) return 0;
    return ff::av_rescale(std::int64_t{1000000} * (2 + repeat_pict), rate.den, std::int64_t{2} * rate.num);
}

std::int64_t first_decode_time_us(const InputStream& ist, const AVPacket& packet, std::int64_t pts) {
    if (packet.dts != AV_NOPTS_VALUE) return to_microseconds(packet.dts, ist.stream->time_base);
    if (packet.pts == AV_NOPTS_VALUE) return pts;
    const int held_back = ist.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? ist.stream->codecpar->video_delay : 0;
    return to_microseconds(packet.pts, ist.stream->time_base) - held_back * frame_duration_us(ist, 0);
}

}  // namespace brenvale
