// Codec lookup by name for forced decoders and chosen encoders.
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"

namespace brenvale {

bool TCustomFFmpeg::find_codec(const std::string& name, AVMediaType type, bool encoder, AVCodecID& codec_id) {
    codec_id = AV_CODEC_ID_NONE;
    if (name.empty()) return true;
    const AVCodec* codec =
        encoder ? ff::avcodec_find_encoder_by_name(name.c_str()) : ff::avcodec_find_decoder_by_name(name.c_str());
    const std::string word = encoder ? "encoder" : "decoder";
    if (!codec) {
        last_error = "Unknown " + word + " '" + name + "'";
        return false;
    }
    if (codec->type != type) {
        last_error = "Invalid " + word + " type '" + name + "'";
        return false;
    }
    codec_id = codec->id;
    return true;
}

}  // namespace brenvale
