// Decoding of one packet of an input stream (or, without a packet, the end of its input) and
// the hand-over of the result to every output stream it feeds.
#include <chrono>
#include <thread>
#include <utility>

#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/stream_times.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {

int TTranscoder::process_packet(int ist_number, const AVPacket* packet) {
    InputStream& ist = input_streams_[static_cast<std::size_t>(ist_number)];
    if (ist.next_pts == AV_NOPTS_VALUE) ist.next_pts = packet ? first_decode_time_us(ist, *packet) : ist.pts;
    if (packet && packet->dts != AV_NOPTS_VALUE)
        ist.pts = ist.next_pts = to_microseconds(packet->dts, ist.stream->time_base);
    if (packet && IsAttachedPicture(*ist.stream)) {
        copy_cover(ist_number, *packet);
        return 0;
    }
    if (packet) copy_rounds(ist, ist_number, *packet);
    if (!ist.needs_decoding) return 0;
    if (ist.decoder->codec_type == AVMEDIA_TYPE_SUBTITLE) return packet ? decode_subtitle(ist, ist_number, *packet) : 0;
    const int result = decode_rounds(ist, ist_number, packet);
    if (!packet) {
        drain_filters(ist, ist_number);
        flush_encoders(ist_number);
    }
    return result;
}

int TTranscoder::decode_rounds(InputStream& ist, int ist_number, const AVPacket* packet) {
    // An empty packet would tell the decoder that the input has ended.
    if (packet && packet->size == 0) return 0;
    if (!packet && std::exchange(ist.decoder_drained, true)) return 0;
    const int sent = ff::avcodec_send_packet(ist.decoder, packet);
    if (sent < 0 && sent != AVERROR_EOF) return -1;
    int result = 0;
    for (int round = 0;; ++round) {
        const int received = ff::avcodec_receive_frame(ist.decoder, decoded_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return result;
        if (received < 0) return -1;
        if (round > 0 && packet && engine_.verbose > 0)
            log(0, format_text("Multiple frames in a packet from stream %d", packet->stream_index));
        const std::int64_t stamp = decoded_->best_effort_timestamp;
        ist.pts = stamp != AV_NOPTS_VALUE ? to_microseconds(stamp, ist.stream->time_base) : ist.next_pts;
        const bool taken =
            ist.decoder->codec_type == AVMEDIA_TYPE_AUDIO ? take_decoded_audio(ist) : take_decoded_video(ist);
        if (!taken) result = -1;
        emulate_rate(ist);
        if (taken && !before_start(ist)) deliver(ist, ist_number, packet, nullptr);
        ff::av_frame_unref(decoded_.get());
    }
}

int TTranscoder::decode_subtitle(InputStream& ist, int ist_number, const AVPacket& packet) {
    AVSubtitle subtitle{};
    int got = 0;
    if (ff::avcodec_decode_subtitle2(ist.decoder, &subtitle, &got, const_cast<AVPacket*>(&packet)) < 0) return -1;
    if (!got) return 0;
    ist.pts = ist.next_pts;
    if (!before_start(ist)) deliver(ist, ist_number, &packet, &subtitle);
    ff::avsubtitle_free(&subtitle);
    return 0;
}

bool TTranscoder::take_decoded_audio(InputStream& ist) {
    const int size = ist.s16.convert(*decoded_, samples_);
    if (size < 0) return false;
    const std::int64_t rate_channels = std::int64_t{decoded_->sample_rate} * decoded_->ch_layout.nb_channels;
    ist.next_pts = ist.pts + std::int64_t{size} * 500000 / rate_channels;
    if (engine_.audio_volume != 256) {
        apply_volume(reinterpret_cast<std::int16_t*>(samples_.data()), samples_.size() / 2, engine_.audio_volume);
    }
    trim_audio_before_start(ist);
    return true;
}

bool TTranscoder::take_decoded_video(InputStream& ist) {
    ist.quality = decoded_->quality;
    ist.next_pts = ist.pts + frame_duration_us(ist, decoded_->repeat_pict);
    engine_.preprocess_video(*decoded_, ist.pts);
    return true;
}

void TTranscoder::deliver(InputStream& ist, int ist_number, const AVPacket* packet, const AVSubtitle* subtitle) {
    if (ist.filters.configured()) return filter_picture(ist, ist_number);
    encode_outputs(ist, ist_number, packet, subtitle);
}

void TTranscoder::encode_outputs(InputStream& ist, int ist_number, const AVPacket* packet, const AVSubtitle* subtitle) {
    for (OutputStream& ost : output_streams_) {
        if (ost.source == ist_number && ost.needs_encoding) encode_for(ost, ist, subtitle, packet);
    }
}

void TTranscoder::encode_for(OutputStream& ost, InputStream& ist, const AVSubtitle* subtitle, const AVPacket* packet) {
    switch (ost.encoder->codec_type) {
        case AVMEDIA_TYPE_VIDEO: {
            int frame_size = 0;
            encode_video(ost, ist, *decoded_, frame_size);
            if (!engine_.vstats_filename.empty() && frame_size != 0) write_video_stats(ost, frame_size);
            break;
        }
        case AVMEDIA_TYPE_AUDIO: encode_audio(ost, ist, samples_.data(), static_cast<int>(samples_.size())); break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (subtitle) encode_subtitle(ost, ist, *subtitle, packet ? packet->pts : AV_NOPTS_VALUE);
            break;
        default: throw FFmpegException("invalid codec_type");
    }
}

// A cover belongs to the whole file: copied once, at time 0, whatever the start and the limits.
void TTranscoder::copy_cover(int ist_number, const AVPacket& packet) {
    for (OutputStream& ost : output_streams_) {
        if (ost.source != ist_number || ost.needs_encoding || ost.frame_number > 0) continue;
        if (ff::av_packet_ref(encoded_.get(), &packet) < 0) throw FFmpegException("av_malloc fail");
        encoded_->stream_index = ost.stream_index;
        encoded_->pts = encoded_->dts = 0;
        encoded_->duration = 0;
        engine_.extra_size += packet.size;  // neither video nor sound: counted with the headers
        write_packet(ost, *encoded_);
        ost.frame_number = 1;
    }
}

void TTranscoder::emulate_rate(const InputStream& ist) const {
    if (!engine_.rate_emu) return;
    const std::int64_t ahead = ist.pts - (ff::av_gettime() - ist.read_start);
    if (ahead > 1000) std::this_thread::sleep_for(std::chrono::milliseconds(ahead / 1000));
}

void TTranscoder::flush_encoders(int ist_number) {
    for (OutputStream& ost : output_streams_) {
        if (ost.source != ist_number || !ost.needs_encoding) continue;
        if (ost.encoder->codec_type == AVMEDIA_TYPE_AUDIO && ost.encoder->frame_size > 1) flush_audio_encoder(ost);
        if (ost.encoder->codec_type == AVMEDIA_TYPE_VIDEO) drain_encoder(ost, nullptr, "Video encoding failed");
    }
}

}  // namespace brenvale
