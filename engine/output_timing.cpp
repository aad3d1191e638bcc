#include "engine/output_timing.h"

#include <algorithm>
#include <string_view>

#include "binding/media_api.h"

namespace brenvale {
namespace {

// Containers that store a frame count instead of times: a finer unit becomes empty frames.
constexpr std::string_view kFrameCountingFormats[] = {"avi"};

}  // namespace

bool counts_frames(const AVOutputFormat& output) {
    return std::find(std::begin(kFrameCountingFormats), std::end(kFrameCountingFormats), output.name) !=
           std::end(kFrameCountingFormats);
}

AVRational copied_time_base(const AVStream& source, int ticks_per_frame, const AVOutputFormat& output) {
    AVRational frame = ff::av_stream_get_codec_timebase(&source);
    frame.num *= ticks_per_frame;
    const bool video = source.codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
    if (video && source.avg_frame_rate.num > 0 && source.avg_frame_rate.den > 0) frame = av_inv_q(source.avg_frame_rate);
    if (frame.num <= 0 || frame.den <= 0) return source.time_base;
    if (video && counts_frames(output)) return frame;
    const double stream_unit = av_q2d(source.time_base);
    if (av_q2d(frame) > stream_unit && stream_unit < 0.001) return frame;
    return source.time_base;
}

TPacketTimes rising_decode_times(TPacketTimes times, std::int64_t last_dts) {
    if (last_dts == AV_NOPTS_VALUE || times.dts > last_dts) return times;
    times.dts = last_dts + 1;
    if (times.pts != AV_NOPTS_VALUE) times.pts = std::max(times.pts, times.dts);
    return times;
}

}  // namespace brenvale
