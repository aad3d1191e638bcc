#include "engine/codec_owner.h"

#include "binding/media_api.h"

namespace brenvale {

void mark_codec_owner(AVCodecContext* codec, TCustomFFmpeg& engine) { codec->opaque = &engine; }

void mark_input_owner(AVFormatContext* input, TCustomFFmpeg& engine) { input->opaque = &engine; }

const TCustomFFmpeg* codec_owner(const void* log_context) {
    if (!log_context) return nullptr;
    // Every context the library logs with starts with its class.
    const AVClass* log_class = *static_cast<const AVClass* const*>(log_context);
    if (log_class == ff::avcodec_get_class())
        return static_cast<const TCustomFFmpeg*>(static_cast<const AVCodecContext*>(log_context)->opaque);
    if (log_class == ff::avformat_get_class())
        return static_cast<const TCustomFFmpeg*>(static_cast<const AVFormatContext*>(log_context)->opaque);
    return nullptr;
}

}  // namespace brenvale
