// The streams of an input being opened: their decoder contexts and the properties they hand
// back to the pending settings.
#pragma once

#include <string>
#include <vector>

#include "binding/library_ptr.h"

namespace brenvale {

class TCustomFFmpeg;

// The decoder a codec name forces; none for an empty name.
const AVCodec* decoder_named(const std::string& name);

// One unopened decoder context per stream, by stream index, with the thread count and the
// generic options applied. False when memory ran out. Raises FFmpegException "invalid
// codec_type" for a media type outside -1..4 before anything is made.
bool make_input_decoders(TCustomFFmpeg& engine, AVFormatContext* input, std::vector<CodecContextPtr>& decoders);

// Copies the video and audio properties of every stream into the pending settings, records
// the forced decoders and sets the discard levels. Nothing in it fails.
void take_stream_properties(TCustomFFmpeg& engine, AVFormatContext* input,
                            const std::vector<CodecContextPtr>& decoders);

}  // namespace brenvale
