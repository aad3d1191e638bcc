// Which input stream feeds each output stream: explicit maps, the program search, or the first
// unmapped stream of the output's type (else the last of that type).
#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

int media_type_of(const InputStream& ist) { return ist.stream->codecpar->codec_type; }

int output_media_type(const AVStream& stream, const AVCodecContext* codec) {
    return codec ? codec->codec_type : stream.codecpar->codec_type;
}

}  // namespace

void TTranscoder::check_stream_maps() const {
    std::size_t output_count = 0;
    for (int k = 0; k < engine_.output_file_count; ++k)
        output_count += engine_.output_files[static_cast<std::size_t>(k)]->nb_streams;
    const int map_count = engine_.stream_map_count;
    if (map_count > 0 && static_cast<std::size_t>(map_count) != output_count)
        throw FFmpegException("Number of stream maps must match number of output streams");
    auto exists = [this](int file, int stream) {
        return file >= 0 && file < engine_.input_file_count && stream >= 0 &&
               stream < input_files_[static_cast<std::size_t>(file)].stream_count;
    };
    for (int n = 0; n < map_count; ++n) {
        const TStreamMap& map = engine_.stream_maps[static_cast<std::size_t>(n)];
        if (!exists(map.file_index, map.stream_index))
            throw FFmpegException(format_text("Could not find input stream #%d.%d", map.file_index, map.stream_index));
        if (!exists(map.sync_file_index, map.sync_stream_index)) {
            throw FFmpegException(
                format_text("Could not find sync stream #%d.%d", map.sync_file_index, map.sync_stream_index));
        }
    }
}

void TTranscoder::build_output_table() {
    for (int k = 0; k < engine_.output_file_count; ++k) {
        AVFormatContext* file = engine_.output_files[static_cast<std::size_t>(k)];
        for (unsigned i = 0; i < file->nb_streams; ++i) {
            const int n = static_cast<int>(output_streams_.size());
            TOutputStreamSetup& setup = engine_.output_stream_setups[static_cast<std::size_t>(k)][i];
            OutputStream& ost = output_streams_.emplace_back();
            ost.file_index = k;
            ost.stream_index = static_cast<int>(i);
            ost.stream = file->streams[i];
            ost.encoder = setup.codec;
            ost.stream_copy = setup.stream_copy;
            ost.cover = IsAttachedPicture(*ost.stream);
            ost.bitstream_filters = &setup.bitstream_filters;
            if (engine_.stream_map_count > 0) {
                const TStreamMap& map = engine_.stream_maps[static_cast<std::size_t>(n)];
                ost.source = input_files_[static_cast<std::size_t>(map.file_index)].first_stream + map.stream_index;
                if (media_type_of(input_streams_[static_cast<std::size_t>(ost.source)]) !=
                    output_media_type(*ost.stream, ost.encoder)) {
                    fail_mapping(k, format_text("Codec type mismatch for mapping #%d.%d -> #%d.%d", map.file_index,
                                                map.stream_index, k, static_cast<int>(i)));
                }
                ost.sync_source =
                    input_files_[static_cast<std::size_t>(map.sync_file_index)].first_stream + map.sync_stream_index;
            } else {
                ost.source = source_without_map(ost);
                ost.sync_source = ost.source;
            }
            input_streams_[static_cast<std::size_t>(ost.source)].unmapped = false;
        }
    }
}

int TTranscoder::source_without_map(const OutputStream& ost) const {
    const int type = output_media_type(*ost.stream, ost.encoder);
    const int source = engine_.program_id != 0 ? find_program_stream(engine_.program_id, type)
                                               : find_unmapped_stream(type, ost.cover);
    if (source < 0) {
        fail_mapping(ost.file_index, format_text("Could not find input stream matching output stream #%d.%d",
                                                 ost.file_index, ost.stream_index));
    }
    return source;
}

int TTranscoder::find_program_stream(int program_id, int media_type) const {
    for (std::size_t f = 0; f < input_files_.size(); ++f) {
        const AVFormatContext* file = engine_.input_files[f];
        for (unsigned p = 0; p < file->nb_programs; ++p) {
            const AVProgram* program = file->programs[p];
            if (program->id != program_id) continue;
            for (unsigned j = 0; j < program->nb_stream_indexes; ++j) {
                const int number = input_files_[f].first_stream + static_cast<int>(program->stream_index[j]);
                if (number >= input_files_[f].first_stream + input_files_[f].stream_count) continue;
                const InputStream& ist = input_streams_[static_cast<std::size_t>(number)];
                if (ist.unmapped && media_type_of(ist) == media_type && !IsAttachedPicture(*ist.stream))
                    return number;
            }
        }
    }
    return -1;
}

int TTranscoder::find_unmapped_stream(int media_type, bool cover) const {
    int last = -1;
    for (std::size_t j = 0; j < input_streams_.size(); ++j) {
        const InputStream& ist = input_streams_[j];
        if (media_type_of(ist) != media_type || IsAttachedPicture(*ist.stream) != cover) continue;
        if (ist.unmapped) return static_cast<int>(j);
        last = static_cast<int>(j);
    }
    return last;
}

void TTranscoder::fail_mapping(int file, const std::string& message) const {
    AVFormatContext* output = engine_.output_files[static_cast<std::size_t>(file)];
    ff::av_dump_format(output, file, output->url, 1);
    throw FFmpegException(message);
}

}  // namespace brenvale
