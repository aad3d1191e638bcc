// Every packet of the run goes out here: through the stream's bitstream filters, in order,
// to the interleaving muxer.
#include "binding/media_api.h"
#include "binding/open_error_text.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {
namespace {

std::string filter_failure_text(const OutputStream& ost, const AVBSFContext& filter, int result) {
    const char* codec = ost.stream_copy || !ost.encoder->codec ? "copy" : ost.encoder->codec->name;
    return open_error_text(
        format_text("%s failed for stream %d, codec %s", filter.filter->name, ost.stream_index, codec), result);
}

}  // namespace

// A filter that does not take the stream (one for another codec) is a warning, as a packet it
// fails on is: the packets pass it unfiltered.
void TTranscoder::init_bitstream_filters(OutputStream& ost) {
    const AVCodecParameters* parameters = ost.stream->codecpar;
    for (AVBSFContext* filter : ost.bitstream_filters->contexts()) {
        int result = ff::avcodec_parameters_copy(filter->par_in, parameters);
        filter->time_base_in = ost.stream->time_base;
        if (result >= 0) result = ff::av_bsf_init(filter);
        if (result < 0) {
            report_filter_failure(ost, filter, result);
            continue;
        }
        ost.active_filters.push_back(filter);
        parameters = filter->par_out;
    }
    // The header describes what the last filter puts out.
    if (parameters != ost.stream->codecpar && ff::avcodec_parameters_copy(ost.stream->codecpar, parameters) < 0)
        throw FFmpegException("av_mallocz fail");
}

void TTranscoder::write_packet(OutputStream& ost, AVPacket& packet) {
    filter_and_write(ost, 0, packet);
    ff::av_packet_unref(&packet);
}

void TTranscoder::filter_and_write(OutputStream& ost, std::size_t filter, AVPacket& packet) {
    const std::vector<AVBSFContext*>& filters = ost.active_filters;
    if (filter == filters.size()) {
        mux_packet(ost, packet);
        return;
    }
    const int sent = ff::av_bsf_send_packet(filters[filter], &packet);
    if (sent < 0) {
        // The packet goes on unfiltered.
        report_filter_failure(ost, filters[filter], sent);
        filter_and_write(ost, filter + 1, packet);
        return;
    }
    drain_filter(ost, filter);
}

void TTranscoder::drain_filter(OutputStream& ost, std::size_t filter) {
    AVBSFContext* context = ost.active_filters[filter];
    const PacketPtr out = allocate_packet();
    for (;;) {
        const int received = ff::av_bsf_receive_packet(context, out.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
        if (received < 0) {
            report_filter_failure(ost, context, received);
            return;
        }
        filter_and_write(ost, filter + 1, *out);
        ff::av_packet_unref(out.get());
    }
}

void TTranscoder::flush_bitstream_filters(OutputStream& ost) {
    const std::vector<AVBSFContext*>& filters = ost.active_filters;
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (ff::av_bsf_send_packet(filters[i], nullptr) >= 0) drain_filter(ost, i);
    }
}

void TTranscoder::report_filter_failure(const OutputStream& ost, AVBSFContext* filter, int result) const {
    if (!engine_.on_log && !engine_.exit_on_error) return;
    const std::string message = filter_failure_text(ost, *filter, result);
    if (engine_.exit_on_error) throw FFmpegException(message);
    log(0, message);
}

void TTranscoder::mux_packet(OutputStream& ost, AVPacket& packet) {
    const std::int64_t start = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (start != AV_NOPTS_VALUE) ost.muxed_end = std::max(ost.muxed_end, start + packet.duration);
    ++ost.muxed_packets;
    AVFormatContext* file = output_file(ost);
    const int result = ff::av_interleaved_write_frame(file, &packet);
    // The byte stream keeps a failed write (a full disk) to itself; the job ends at the first one.
    const int error = result < 0 ? result : file->pb ? file->pb->error : 0;
    if (error < 0) throw FFmpegException(write_error_text("av_interleaved_write_frame()", error));
}

}  // namespace brenvale
