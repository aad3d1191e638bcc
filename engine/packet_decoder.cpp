#include "engine/packet_decoder.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/stream_times.h"
#include "engine/text_format.h"
#include "engine/transcode_tables.h"

namespace brenvale {
namespace {

std::size_t frame_bytes(const AVFrame& frame) {
    std::size_t bytes = 0;
    for (const AVBufferRef* buffer : frame.buf) {
        if (buffer) bytes += buffer->size;
    }
    return bytes;
}

}  // namespace

void SubtitleDeleter::operator()(AVSubtitle* subtitle) const {
    ff::avsubtitle_free(subtitle);
    delete subtitle;
}

std::size_t TDecodedPacket::bytes() const {
    std::size_t bytes = packet ? static_cast<std::size_t>(packet->size) : 0;
    for (const TDecodedUnit& unit : units) {
        bytes += unit.samples.size();
        if (unit.frame) bytes += frame_bytes(*unit.frame);
    }
    return bytes;
}

TPacketDecoder::TPacketDecoder(TCustomFFmpeg& engine, int file_index, const InputFile& file,
                               const std::deque<InputStream>& streams)
    : engine_(engine),
      file_index_(file_index),
      first_stream_(file.first_stream),
      streams_(streams),
      states_(static_cast<std::size_t>(file.stream_count)) {}

TPacketDecoder::~TPacketDecoder() = default;

const InputStream& TPacketDecoder::stream(int number) const { return streams_[static_cast<std::size_t>(number)]; }

TPacketDecoder::StreamState& TPacketDecoder::state(int number) {
    return states_[static_cast<std::size_t>(number - first_stream_)];
}

TDecodedPacket TPacketDecoder::next(std::stop_token stop) {
    AVFormatContext* input = engine_.input_files[static_cast<std::size_t>(file_index_)];
    TDecodedPacket out;
    out.packet = allocate_packet();
    AVPacket& packet = *out.packet;
    int read = ff::av_read_frame(input, &packet);
    while (read == AVERROR(EAGAIN) && std::strcmp(input->iformat->name, "ffm") != 0) {
        if (stop.stop_requested() || engine_.stop_requested) break;
        read = ff::av_read_frame(input, &packet);
    }
    if (read < 0) {
        out.packet.reset();
        out.end_of_file = true;
        return out;
    }
    if (engine_.pkt_dump && packet.stream_index < static_cast<int>(input->nb_streams))
        ff::av_pkt_dump_log2(nullptr, AV_LOG_INFO, &packet, engine_.hex_dump, input->streams[packet.stream_index]);
    if (packet.stream_index >= static_cast<int>(states_.size())) return out;
    const int number = first_stream_ + packet.stream_index;
    const InputStream& ist = stream(number);
    if (ist.unmapped) return out;
    out.stream = number;
    repair_times(packet, out);
    take_packet(ist, state(number), packet, out);
    return out;
}

TDecodedPacket TPacketDecoder::drain(int stream_number) {
    const InputStream& ist = stream(stream_number);
    StreamState& s = state(stream_number);
    TDecodedPacket out;
    out.stream = stream_number;
    if (s.clock.next_pts == AV_NOPTS_VALUE) s.clock.next_pts = s.clock.pts;
    if (ist.needs_decoding && ist.decoder->codec_type != AVMEDIA_TYPE_SUBTITLE) decode(ist, s, nullptr, out);
    return out;
}

void TPacketDecoder::repair_times(AVPacket& packet, TDecodedPacket& out) {
    const auto f = static_cast<std::size_t>(file_index_);
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
    repair_discontinuity(packet, out);
}

// Formats whose clock may jump (transport and program streams): a jump beyond the threshold
// moves the file's offset so that the times go on from where they were.
void TPacketDecoder::repair_discontinuity(AVPacket& packet, TDecodedPacket& out) {
    const auto f = static_cast<std::size_t>(file_index_);
    const AVFormatContext* input = engine_.input_files[f];
    const TStreamClock& clock = state(first_stream_ + packet.stream_index).clock;
    if (packet.dts == AV_NOPTS_VALUE || clock.next_pts == AV_NOPTS_VALUE || !(input->iformat->flags & AVFMT_TS_DISCONT))
        return;
    const AVRational time_base = input->streams[packet.stream_index]->time_base;
    const std::int64_t packet_dts = ff::av_rescale_q(packet.dts, time_base, AV_TIME_BASE_Q);
    const std::int64_t delta = packet_dts - clock.next_pts;
    const auto threshold = static_cast<std::int64_t>(engine_.dts_delta_threshold * 1000000);
    if ((std::llabs(delta) <= threshold && packet_dts + 1 >= clock.pts) || engine_.copy_ts) return;
    std::int64_t& offset = engine_.input_ts_offsets[f];
    offset -= delta;
    if (engine_.verbose >= 3)
        out.notice = format_text("timestamp discontinuity %" PRId64 ", new offset= %" PRId64, delta, offset);
    const std::int64_t correction = ff::av_rescale_q(delta, AV_TIME_BASE_Q, time_base);
    packet.dts -= correction;
    if (packet.pts != AV_NOPTS_VALUE) packet.pts -= correction;
}

void TPacketDecoder::take_packet(const InputStream& ist, StreamState& s, const AVPacket& packet, TDecodedPacket& out) {
    TStreamClock& clock = s.clock;
    if (clock.next_pts == AV_NOPTS_VALUE) clock.next_pts = first_decode_time_us(ist, packet, clock.pts);
    if (packet.dts != AV_NOPTS_VALUE) clock.pts = clock.next_pts = to_microseconds(packet.dts, ist.stream->time_base);
    const bool cover = IsAttachedPicture(*ist.stream);
    if (!cover && !ist.needs_decoding) {
        // Copied streams advance by one packet's length.
        clock.pts = clock.next_pts;
        const AVCodecParameters& parameters = *ist.stream->codecpar;
        if (parameters.codec_type == AVMEDIA_TYPE_AUDIO && parameters.sample_rate > 0)
            clock.next_pts += std::int64_t{1000000} * parameters.frame_size / parameters.sample_rate;
        else if (parameters.codec_type == AVMEDIA_TYPE_VIDEO)
            clock.next_pts += frame_duration_us(ist, 0);
    }
    out.clock = clock;
    if (cover || !ist.needs_decoding) return;
    if (ist.decoder->codec_type == AVMEDIA_TYPE_SUBTITLE) {
        decode_subtitle(ist, s, packet, out);
    } else {
        decode(ist, s, &packet, out);
    }
}

void TPacketDecoder::decode(const InputStream& ist, StreamState& s, const AVPacket* packet, TDecodedPacket& out) {
    // An empty packet would tell the decoder that the input has ended.
    if (packet && packet->size == 0) return;
    if (!packet && std::exchange(s.drained, true)) return;
    const int sent = ff::avcodec_send_packet(ist.decoder, packet);
    if (sent < 0 && sent != AVERROR_EOF) {
        out.failed = true;
        return;
    }
    for (;;) {
        TDecodedUnit unit;
        unit.frame = allocate_frame();
        const int received = ff::avcodec_receive_frame(ist.decoder, unit.frame.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
        if (received < 0) {
            out.failed = true;
            return;
        }
        const std::int64_t stamp = unit.frame->best_effort_timestamp;
        s.clock.pts = stamp != AV_NOPTS_VALUE ? to_microseconds(stamp, ist.stream->time_base) : s.clock.next_pts;
        if (ist.decoder->codec_type == AVMEDIA_TYPE_AUDIO) {
            unit.taken = take_sound(s, unit);
        } else {
            s.clock.next_pts = s.clock.pts + frame_duration_us(ist, unit.frame->repeat_pict);
        }
        if (!unit.taken) out.failed = true;
        unit.clock = s.clock;
        out.units.push_back(std::move(unit));
    }
}

void TPacketDecoder::decode_subtitle(const InputStream& ist, StreamState& s, const AVPacket& packet,
                                     TDecodedPacket& out) {
    SubtitlePtr subtitle(new AVSubtitle{});
    int got = 0;
    if (ff::avcodec_decode_subtitle2(ist.decoder, subtitle.get(), &got, const_cast<AVPacket*>(&packet)) < 0) {
        out.failed = true;
        return;
    }
    if (!got) return;
    s.clock.pts = s.clock.next_pts;
    TDecodedUnit unit;
    unit.subtitle = std::move(subtitle);
    unit.clock = s.clock;
    out.units.push_back(std::move(unit));
}

bool TPacketDecoder::take_sound(StreamState& s, TDecodedUnit& unit) {
    const AVFrame& frame = *unit.frame;
    const int size = s.s16.convert(frame, unit.samples);
    if (size < 0) return false;
    const std::int64_t rate_channels = std::int64_t{frame.sample_rate} * frame.ch_layout.nb_channels;
    s.clock.next_pts = s.clock.pts + std::int64_t{size} * 500000 / rate_channels;
    if (engine_.audio_volume != 256) {
        apply_volume(reinterpret_cast<std::int16_t*>(unit.samples.data()), unit.samples.size() / 2,
                     engine_.audio_volume);
    }
    trim_before_start(s.clock, unit);
    return true;
}

// Drops the sound that comes before the start position from a frame that straddles it.
void TPacketDecoder::trim_before_start(TStreamClock& clock, TDecodedUnit& unit) const {
    const std::int64_t start = engine_.start_time;
    if (start == 0 || clock.pts >= start || clock.next_pts <= start) return;
    const int channels = unit.frame->ch_layout.nb_channels;
    const std::int64_t skipped = ff::av_rescale(start - clock.pts, unit.frame->sample_rate, 1000000);
    std::vector<std::uint8_t>& samples = unit.samples;
    const auto bytes = static_cast<std::size_t>(std::min<std::int64_t>(skipped * 2 * channels, samples.size()));
    samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(bytes));
    clock.pts = start;
}

}  // namespace brenvale
