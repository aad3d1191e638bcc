// The part of the input an output takes: from the start position ("ss") for the recording time
// ("t"), cut at the picture and the audio sample, so that encoder delays and packet sizes do not
// carry any stream past the limit.
#include <limits>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr std::int64_t kNoEnd = std::numeric_limits<std::int64_t>::max();

}  // namespace

bool TTranscoder::before_start(const InputStream& ist) const {
    return engine_.start_time != 0 && ist.pts < engine_.start_time;
}

bool TTranscoder::past_recording_time(const InputStream& ist) const {
    return engine_.recording_time != kNoEnd && ist.pts - engine_.start_time >= engine_.recording_time;
}

std::int64_t TTranscoder::recording_end(AVRational time_base) const {
    if (engine_.recording_time == kNoEnd) return kNoEnd;
    return ff::av_rescale_q_rnd(engine_.recording_time, AV_TIME_BASE_Q, time_base, AV_ROUND_UP);
}

}  // namespace brenvale
