#include "engine/codec_owner.h"

#include "binding/media_api.h"

namespace brenvale {

void mark_codec_owner(AVCodecContext* codec, TCustomFFmpeg& engine) { codec->opaque = &engine; }

const TCustomFFmpeg* codec_owner(const void* log_context) {
    // Every context the library logs with starts with its class.
    if (!log_context || *static_cast<const AVClass* const*>(log_context) != ff::avcodec_get_class()) return nullptr;
    return static_cast<const TCustomFFmpeg*>(static_cast<const AVCodecContext*>(log_context)->opaque);
}

}  // namespace brenvale
