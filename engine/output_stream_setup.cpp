#include "engine/output_stream_setup.h"

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale {

void TOutputStreamSetup::release() {
    if (codec) {
        // The second pass's statistics are the user's to free, and a run that failed before
        // opening the encoder never closed it.
        ff::av_freep(&codec->stats_in);
        ff::avcodec_free_context(&codec);
    }
    stream_copy = false;
    bitstream_filters.clear();
}

void TCustomFFmpeg::release_output_stream_setups(int file_index) {
    if (file_index < 0 || file_index >= MAX_FILES) return;
    for (TOutputStreamSetup& setup : output_stream_setups[static_cast<std::size_t>(file_index)]) setup.release();
}

}  // namespace brenvale
