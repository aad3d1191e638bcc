// Checked additions to the engine's fixed-size tables.
#include <string>

#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"

namespace brenvale {
namespace {

template <typename T, std::size_t N>
void append_checked(std::array<T, N>& table, std::int32_t& count, const T& entry, const char* what) {
    if (count < 0 || count >= static_cast<std::int32_t>(N)) {
        throw FFmpegException(std::string("Too many ") + what + " (at most " + std::to_string(N) + ")");
    }
    table[static_cast<std::size_t>(count++)] = entry;
}

}  // namespace

void TCustomFFmpeg::add_input_file(AVFormatContext* file) {
    append_checked(input_files, input_file_count, file, "input files");
}

void TCustomFFmpeg::add_output_file(AVFormatContext* file) {
    append_checked(output_files, output_file_count, file, "output files");
}

void TCustomFFmpeg::add_input_codec(const AVCodec* codec) {
    append_checked(input_codecs, input_codec_count, codec, "input streams");
}

void TCustomFFmpeg::add_output_codec(const AVCodec* codec) {
    append_checked(output_codecs, output_codec_count, codec, "output streams");
}

void TCustomFFmpeg::add_stream_map(const TStreamMap& map) {
    append_checked(stream_maps, stream_map_count, map, "stream maps");
}

void TCustomFFmpeg::add_metadata_map(const TMetadataMap& map) {
    append_checked(metadata_maps, metadata_map_count, map, "metadata maps");
}

}  // namespace brenvale
