// The packet loop: which input to read next, when to stop, the time-stamp repairs, and the end
// of the run (drains, trailers, final report, closing the codecs).
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "binding/path_utils.h"
#include "binding/unicode_names.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
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
    std::int64_t last_report = engine_.timer_start;
    while (!engine_.stop_requested) {
        engine_.wait_while_paused();
        if (engine_.stop_requested) break;
        double output_time_min = kNoTime;
        const int file = choose_input_file(output_time_min);
        if (file < 0 || limits_reached(output_time_min)) break;
        AVFormatContext* input = engine_.input_files[static_cast<std::size_t>(file)];
        const int read = ff::av_read_frame(input, packet_.get());
        if (read == AVERROR(EAGAIN) && std::strcmp(input->iformat->name, "ffm") != 0) continue;
        if (read < 0) {
            input_files_[static_cast<std::size_t>(file)].at_eof = true;
            if (engine_.shortest) break;
            continue;
        }
        const bool decoded = decode_read_packet(file, *packet_);
        ff::av_packet_unref(packet_.get());
        if (!decoded) continue;
        const std::int64_t now = ff::av_gettime();
        if (now - last_report > engine_.progress_interval) {
            last_report = now;
            report_progress(false);
        }
    }
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

bool TTranscoder::decode_read_packet(int file, AVPacket& packet) {
    AVFormatContext* input = engine_.input_files[static_cast<std::size_t>(file)];
    const InputFile& input_file = input_files_[static_cast<std::size_t>(file)];
    if (engine_.pkt_dump && packet.stream_index < static_cast<int>(input->nb_streams))
        ff::av_pkt_dump_log2(nullptr, AV_LOG_INFO, &packet, engine_.hex_dump, input->streams[packet.stream_index]);
    if (packet.stream_index >= input_file.stream_count) return true;
    const int number = input_file.first_stream + packet.stream_index;
    const InputStream& ist = input_streams_[static_cast<std::size_t>(number)];
    if (ist.unmapped) return true;
    repair_timestamps(file, packet);
    if (process_packet(number, &packet) >= 0) return true;
    const std::string message = format_text("Error while decoding stream #%d.%d", ist.file_index, ist.stream_index);
    if (engine_.exit_on_error) throw FFmpegException(message);
    if (engine_.verbose >= 0) log(1, message);
    return false;
}

void TTranscoder::repair_timestamps(int file, AVPacket& packet) {
    const auto f = static_cast<std::size_t>(file);
    const AVRational time_base = engine_.input_files[f]->streams[packet.stream_index]->time_base;
    const std::int64_t shift = ff::av_rescale_q(engine_.input_ts_offsets[f], AV_TIME_BASE_Q, time_base);
    if (packet.dts != AV_NOPTS_VALUE) packet.dts += shift;
    if (packet.pts != AV_NOPTS_VALUE) packet.pts += shift;
    const double scale = packet.stream_index < MAX_STREAMS
                             ? engine_.input_ts_scales[f][static_cast<std::size_t>(packet.stream_index)]
                             : 0;
    if (scale != 0) {
        if (packet.pts != AV_NOPTS_VALUE) packet.pts = std::llround(static_cast<double>(packet.pts) * scale);
        if (packet.dts != AV_NOPTS_VALUE) packet.dts = std::llround(static_cast<double>(packet.dts) * scale);
    }
    repair_discontinuity(file, packet);
}

void TTranscoder::repair_discontinuity(int file, AVPacket& packet) {
    const auto f = static_cast<std::size_t>(file);
    const AVFormatContext* input = engine_.input_files[f];
    const InputStream& ist =
        input_streams_[static_cast<std::size_t>(input_files_[f].first_stream + packet.stream_index)];
    if (packet.dts == AV_NOPTS_VALUE || ist.next_pts == AV_NOPTS_VALUE || !(input->iformat->flags & AVFMT_TS_DISCONT))
        return;
    const AVRational time_base = input->streams[packet.stream_index]->time_base;
    const std::int64_t packet_dts = ff::av_rescale_q(packet.dts, time_base, AV_TIME_BASE_Q);
    const std::int64_t delta = packet_dts - ist.next_pts;
    const auto threshold = static_cast<std::int64_t>(engine_.dts_delta_threshold * 1000000);
    if ((std::llabs(delta) <= threshold && packet_dts + 1 >= ist.pts) || engine_.copy_ts) return;
    std::int64_t& offset = engine_.input_ts_offsets[f];
    offset -= delta;
    if (engine_.verbose >= 3)
        log(1, format_text("timestamp discontinuity %" PRId64 ", new offset= %" PRId64, delta, offset));
    const std::int64_t correction = ff::av_rescale_q(delta, AV_TIME_BASE_Q, time_base);
    packet.dts -= correction;
    if (packet.pts != AV_NOPTS_VALUE) packet.pts -= correction;
}

void TTranscoder::finish_run() {
    for (std::size_t m = 0; m < input_streams_.size(); ++m) {
        if (input_streams_[m].needs_decoding) process_packet(static_cast<int>(m), nullptr);
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
