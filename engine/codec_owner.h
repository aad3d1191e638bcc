// Which job a codec or input context belongs to. Codecs that run threads of their own log from
// them, and inputs are read on a thread of the run's own, each with a context of its own; the
// mark travels with it, so the line still names the job.
#pragma once

struct AVCodecContext;
struct AVFormatContext;

namespace brenvale {

class TCustomFFmpeg;

void mark_codec_owner(AVCodecContext* codec, TCustomFFmpeg& engine);
void mark_input_owner(AVFormatContext* input, TCustomFFmpeg& engine);
// The engine that marked the codec or input context a log line came from; nullptr for any
// other library context (or none).
const TCustomFFmpeg* codec_owner(const void* log_context);

}  // namespace brenvale
