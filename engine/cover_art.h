// The cover of a music file, kept as the cover of an output whose format stores one.
#pragma once

struct AVFormatContext;
struct AVStream;

namespace brenvale {

class TCustomFFmpeg;

// With automatic stream mapping, a source with a JPEG or PNG cover gives an output of a format
// that stores covers (MP3, MP4, M4A, FLAC) a copy of it as its cover. The output must
// have its other streams already. Raises FFmpegException when the stream cannot be added.
void add_cover_stream(TCustomFFmpeg& engine, AVFormatContext* context);

}  // namespace brenvale
