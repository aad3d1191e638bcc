// Which job a codec context belongs to. Codecs that run threads of their own log from them,
// with a context of their own; the mark travels with it, so the line still names the job.
#pragma once

struct AVCodecContext;

namespace brenvale {

class TCustomFFmpeg;

void mark_codec_owner(AVCodecContext* codec, TCustomFFmpeg& engine);
// The engine that marked the codec context a log line came from; nullptr for any other
// library context (or none).
const TCustomFFmpeg* codec_owner(const void* log_context);

}  // namespace brenvale
