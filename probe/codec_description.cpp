#include "probe/codec_description.h"

#include <cstdio>

#include "binding/media_api.h"
#include "engine/option_values.h"

namespace brenvale {
namespace {

bool printable(unsigned character) { return character >= 32 && character <= 126; }

std::string tag_description(std::uint32_t tag) {
    const unsigned bytes[4] = {tag & 0xFF, (tag >> 8) & 0xFF, (tag >> 16) & 0xFF, tag >> 24};
    char text[64];
    if (printable(bytes[0]) && printable(bytes[1]) && printable(bytes[2]) && printable(bytes[3])) {
        std::snprintf(text, sizeof text, "%c%c%c%c / 0x%04X", bytes[0], bytes[1], bytes[2], bytes[3], tag);
    } else {
        std::snprintf(text, sizeof text, "0x%04x", tag);
    }
    return text;
}

}  // namespace

std::string codec_description(const AVCodecParameters& parameters) {
    if (const AVCodec* decoder = ff::avcodec_find_decoder(parameters.codec_id)) {
        const std::string long_name = decoder->long_name ? TrimText(decoder->long_name) : std::string();
        return long_name.empty() ? decoder->name : std::string(decoder->name) + "(" + long_name + ")";
    }
    if (parameters.codec_id == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
    // The codec's own name: what the libraries know of an id they cannot decode.
    if (const AVCodecDescriptor* descriptor = ff::avcodec_descriptor_get(parameters.codec_id)) {
        const std::string name = TrimText(descriptor->name);
        if (!name.empty()) return name;
    }
    return tag_description(parameters.codec_tag);
}

}  // namespace brenvale
