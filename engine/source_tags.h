// The tags of a source (title, artist, album, ...) carried over to its outputs.
#pragma once

struct AVFormatContext;

namespace brenvale {

class TCustomFFmpeg;

// Sets the descriptive tags of the job's first input on the output, under the generic names
// today's muxers write (an old "author" becomes "artist", "year" becomes "date"); each muxer
// keeps what its container holds. Technical tags (encoder, brands, creation time) stay behind.
void copy_source_tags(const TCustomFFmpeg& engine, AVFormatContext* output);

}  // namespace brenvale
