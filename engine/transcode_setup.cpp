// The set-up of a run, from the input tables to the output headers.
#include <mutex>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr int kSdpBufferSize = 2048;

AVCodecContext* decoder_of(const TCustomFFmpeg& engine, int file, unsigned stream) {
    const std::vector<AVCodecContext*>& decoders = engine.input_decoders[static_cast<std::size_t>(file)];
    return stream < decoders.size() ? decoders[stream] : nullptr;
}

std::string trim_blanks(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

TTranscoder::TTranscoder(TCustomFFmpeg& engine)
    : engine_(engine), encoded_(allocate_packet()), decoded_(allocate_frame()) {}

TTranscoder::~TTranscoder() = default;

void TTranscoder::transcode() {
    set_up();
    run_packet_loop();
    finish_run();
}

void TTranscoder::set_up() {
    build_input_tables();
    check_output_files();
    check_stream_maps();
    build_output_table();
    for (std::size_t n = 0; n < output_streams_.size(); ++n) set_up_codec(output_streams_[n], static_cast<int>(n));
    for (int i = 0; i < engine_.output_file_count; ++i) {
        AVFormatContext* file = engine_.output_files[static_cast<std::size_t>(i)];
        ff::av_dump_format(file, i, file->url, 1);
    }
    print_stream_mapping();
    // Decoders first: text subtitle encoders take their style header from them.
    open_decoders();
    open_encoders();
    for (InputStream& ist : input_streams_) {
        ist.pts = 0;
        ist.next_pts = AV_NOPTS_VALUE;
        ist.at_start = true;
    }
    map_metadata();
    for (OutputStream& ost : output_streams_) init_bitstream_filters(ost);
    write_headers();
    print_sdp();
    engine_.timer_start = ff::av_gettime();
}

void TTranscoder::build_input_tables() {
    int total = 0;
    for (int f = 0; f < engine_.input_file_count; ++f) {
        AVFormatContext* file = engine_.input_files[static_cast<std::size_t>(f)];
        input_files_.push_back({false, total, static_cast<int>(file->nb_streams)});
        total += static_cast<int>(file->nb_streams);
        for (unsigned s = 0; s < file->nb_streams; ++s) {
            InputStream& ist = input_streams_.emplace_back();
            ist.file_index = f;
            ist.stream_index = static_cast<int>(s);
            ist.stream = file->streams[s];
            ist.decoder = decoder_of(engine_, f, s);
            if (engine_.rate_emu) ist.read_start = ff::av_gettime();
        }
    }
}

void TTranscoder::check_output_files() {
    for (int k = 0; k < engine_.output_file_count; ++k) {
        AVFormatContext* file = engine_.output_files[static_cast<std::size_t>(k)];
        if (file->nb_streams > 0) continue;
        ff::av_dump_format(file, k, file->url, 1);
        throw FFmpegException(format_text("Output file #%d does not contain any stream", k));
    }
}

void TTranscoder::print_stream_mapping() const {
    if (engine_.verbose < 0 || !engine_.on_log) return;
    log(1, "Stream mapping:");
    for (const OutputStream& ost : output_streams_) {
        const InputStream& source = input_streams_[static_cast<std::size_t>(ost.source)];
        log(1, format_text("  Stream #%d.%d -> #%d.%d", source.file_index, source.stream_index, ost.file_index,
                           ost.stream_index));
        if (ost.sync_source == ost.source) continue;
        const InputStream& sync = input_streams_[static_cast<std::size_t>(ost.sync_source)];
        log(1, format_text(" [sync #%d.%d]", sync.file_index, sync.stream_index));
    }
}

void TTranscoder::map_metadata() {
    for (int i = 0; i < engine_.metadata_map_count; ++i) {
        const TMetadataMap& map = engine_.metadata_maps[static_cast<std::size_t>(i)];
        if (map.out_file < 0 || map.out_file >= engine_.output_file_count) {
            throw FFmpegException(format_text("Invalid output file index %d map_meta_data(%d,%d)", map.out_file,
                                              map.out_file, map.in_file));
        }
        if (map.in_file < 0 || map.in_file >= engine_.input_file_count) {
            throw FFmpegException(format_text("Invalid input file index %d map_meta_data(%d,%d)", map.in_file,
                                              map.out_file, map.in_file));
        }
        AVFormatContext* out = engine_.output_files[static_cast<std::size_t>(map.out_file)];
        const AVFormatContext* in = engine_.input_files[static_cast<std::size_t>(map.in_file)];
        const AVDictionaryEntry* tag = nullptr;
        while ((tag = ff::av_dict_get(in->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)))
            ff::av_dict_set(&out->metadata, tag->key, tag->value, 0);
    }
}

void TTranscoder::write_headers() {
    for (int i = 0; i < engine_.output_file_count; ++i) {
        if (ff::avformat_write_header(engine_.output_files[static_cast<std::size_t>(i)], nullptr) < 0)
            throw FFmpegException(
                format_text("Could not write header for output file #%d (incorrect codec parameters ?)", i));
    }
}

void TTranscoder::print_sdp() const {
    for (int i = 0; i < engine_.output_file_count; ++i) {
        if (std::string(engine_.output_files[static_cast<std::size_t>(i)]->oformat->name) != "rtp") return;
    }
    if (!engine_.on_log) return;
    char sdp[kSdpBufferSize] = {};
    ff::av_sdp_create(engine_.output_files.data(), engine_.output_file_count, sdp, sizeof sdp);
    log(1, "SDP: " + trim_blanks(sdp));
}

void TTranscoder::log(int level, const std::string& message) const {
    if (engine_.on_log) engine_.on_log(engine_, level, message);
}

AVFormatContext* TTranscoder::output_file(const OutputStream& ost) const {
    return engine_.output_files[static_cast<std::size_t>(ost.file_index)];
}

std::int64_t TTranscoder::input_time_us(const OutputStream& ost) const {
    return input_streams_[static_cast<std::size_t>(ost.sync_source)].pts - engine_.start_time;
}

}  // namespace brenvale
