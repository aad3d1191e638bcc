// The packet loop: which input to take next, when to stop, the decoding side that reads ahead,
// and the end of the run (drains, trailers, final report, closing the codecs).
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "binding/path_utils.h"
#include "binding/unicode_names.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

constexpr double kNoTime = 1e100;

// Encoded pictures count in frames; everything else by the end of what reached the muxer.
double output_time(const OutputStream& ost) {
    if (ost.encoder->codec_type == AVMEDIA_TYPE_VIDEO && ost.needs_encoding)
        return static_cast<double>(ost.sync_pts) * av_q2d(ost.encoder_time_base);
    return static_cast<double>(ost.muxed_end) * av_q2d(ost.stream->time_base);
}

bool frame_limit_reached(const TCustomFFmpeg& engine, const OutputStream& ost) {
    const int type = ost.encoder->codec_type;
    if (type < 0 || type >= static_cast<int>(engine.max_frames.size())) return false;
    return ost.frame_number >= engine.max_frames[static_cast<std::size_t>(type)];
}

// The path of an output written to a local file; empty for other protocols.
std::string local_output_path(const AVFormatContext& file) {
    if (!file.pb || !file.url) return {};
    const char* protocol = ff::avio_find_protocol_name(file.url);
    const bool local = IsUnicodeName(file.url) || (protocol && std::strcmp(protocol, "file") == 0);
    return local ? FromLibraryName(file.url) : std::string();
}

}  // namespace

void TTranscoder::run_packet_loop() {
    start_decoding();
    std::int64_t last_report = engine_.timer_start;
    while (!engine_.stop_requested) {
        engine_.wait_while_paused();
        if (engine_.stop_requested) break;
        double output_time_min = kNoTime;
        const int file = choose_input_file(output_time_min);
        if (file < 0 || limits_reached(output_time_min)) break;
        TDecodedPacket decoded = next_packet(file);
        if (decoded.end_of_file) {
            input_files_[static_cast<std::size_t>(file)].at_eof = true;
            if (engine_.shortest) break;
            continue;
        }
        if (!deliver_packet(decoded)) continue;
        const std::int64_t now = ff::av_gettime();
        if (now - last_report > engine_.progress_interval) {
            last_report = now;
            report_progress(false);
        }
    }
}

void TTranscoder::start_decoding() {
    for (std::size_t f = 0; f < input_files_.size(); ++f) {
        decoders_.push_back(
            std::make_unique<TPacketDecoder>(engine_, static_cast<int>(f), input_files_[f], input_streams_));
    }
    if (!decodes_ahead()) return;
    for (const std::unique_ptr<TPacketDecoder>& decoder : decoders_)
        read_ahead_.push_back(std::make_unique<TReadAhead>(*decoder));
}

// Read ahead, a decoder has taken packets the loop has not: at an early end more frames come
// after the end. Past the recording time every output ends by itself and takes none of them;
// past the limits below the other outputs would still take them.
bool TTranscoder::decodes_ahead() const {
    const auto& limits = engine_.max_frames;
    const bool frame_limit =
        std::any_of(limits.begin(), limits.end(), [](std::int32_t limit) { return limit != kNoFrameLimit; });
    return engine_.decode_ahead && !engine_.shortest && engine_.limit_filesize == 0 && !frame_limit;
}

TDecodedPacket TTranscoder::next_packet(int file) {
    const auto f = static_cast<std::size_t>(file);
    return read_ahead_.empty() ? decoders_[f]->next() : read_ahead_[f]->take();
}

// What was decoded ahead reaches the hooks and encoders in order, as it would have from the
// decoders' drain; the outputs take nothing past their end. Packets are not copied again. A
// stopped run takes none of it.
void TTranscoder::stop_decoding_ahead() {
    for (const std::unique_ptr<TReadAhead>& reader : read_ahead_) {
        std::deque<TDecodedPacket> decoded_ahead = reader->stop();
        if (engine_.stop_requested) continue;
        for (TDecodedPacket& decoded : decoded_ahead) {
            if (decoded.stream < 0) continue;
            InputStream& ist = input_streams_[static_cast<std::size_t>(decoded.stream)];
            for (TDecodedUnit& unit : decoded.units) deliver_unit(ist, decoded.stream, decoded.packet.get(), unit);
        }
    }
    read_ahead_.clear();
}

int TTranscoder::choose_input_file(double& output_time_min) const {
    double input_time_min = kNoTime;
    int file = -1;
    for (const OutputStream& ost : output_streams_) {
        // A stream past the recording time waits for nothing; when all are, the run ends. A
        // cover's one packet comes first; its time never advances.
        if (ost.finished || ost.cover) continue;
        const InputStream& ist = input_streams_[static_cast<std::size_t>(ost.source)];
        const double output = output_time(ost);
        const double input = static_cast<double>(ist.pts);
        if (!input_files_[static_cast<std::size_t>(ist.file_index)].at_eof) {
            if (input < input_time_min) {
                input_time_min = input;
                if (engine_.input_sync) file = ist.file_index;
            }
            if (output < output_time_min) {
                output_time_min = output;
                if (!engine_.input_sync) file = ist.file_index;
            }
        }
        if (frame_limit_reached(engine_, ost)) return -1;
    }
    return file;
}

bool TTranscoder::limits_reached(double output_time_min) const {
    if (!(static_cast<double>(engine_.recording_time) / 1000000 > output_time_min)) return true;
    if (engine_.limit_filesize == 0) return false;
    AVIOContext* io = engine_.output_files[0]->pb;
    return io && ff::avio_seek(io, 0, SEEK_CUR) > engine_.limit_filesize;
}

void TTranscoder::finish_run() {
    stop_decoding_ahead();
    for (std::size_t m = 0; m < input_streams_.size(); ++m) {
        if (input_streams_[m].needs_decoding) end_input_stream(static_cast<int>(m));
    }
    for (OutputStream& ost : output_streams_) flush_bitstream_filters(ost);
    write_trailers();
    // A header alone opens in no reader; the clean-up then deletes the file as it stayed empty.
    if (engine_.stop_requested) empty_outputs_without_packets();
    report_progress(true);
    engine_.close_encoders();
    engine_.close_decoders();
    engine_.finished = !engine_.stop_requested;
}

void TTranscoder::write_trailers() {
    for (int i = 0; i < engine_.output_file_count; ++i) {
        AVFormatContext* file = engine_.output_files[static_cast<std::size_t>(i)];
        // A failed write (a full disk) must end the job with an error, not with success.
        const int result = ff::av_write_trailer(file);
        if (result < 0) throw FFmpegException(write_error_text("av_write_trailer()", result));
        if (file->pb && file->pb->error < 0)
            throw FFmpegException(write_error_text("av_write_trailer()", file->pb->error));
        // Its folder was removed: what was written is in no file anyone can open.
        const std::string path = local_output_path(*file);
        if (!path.empty() && !FileExists(path))
            throw FFmpegException(path + ": the output file was removed during the conversion");
    }
}

void TTranscoder::empty_outputs_without_packets() const {
    for (int i = 0; i < engine_.output_file_count; ++i) {
        const auto muxed = [i](const OutputStream& ost) { return ost.file_index == i && ost.muxed_packets > 0; };
        if (std::any_of(output_streams_.begin(), output_streams_.end(), muxed)) continue;
        const std::string path = local_output_path(*engine_.output_files[static_cast<std::size_t>(i)]);
        std::error_code error;
        if (!path.empty()) std::filesystem::resize_file(path, 0, error);
    }
}

}  // namespace brenvale
