// The video filter chain of an output stream. The chain itself is built by the next stage; until
// then a job that asks for filters fails at set-up instead of running unfiltered.
#include "engine/custom_ffmpeg.h"
#include "engine/transcoder.h"

namespace brenvale {

bool TTranscoder::configure_filters(InputStream&, OutputStream&) {
    engine_.last_error = "video filter chains are not available";
    return false;
}

}  // namespace brenvale
