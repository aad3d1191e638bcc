// The hand-over of what the decoding side made of one packet (or of the end of a stream's input)
// to every output stream it feeds: covers, copies, hooks, filters and encoders.
#include <chrono>
#include <thread>

#include "binding/attached_picture.h"
#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"
#include "engine/text_format.h"
#include "engine/transcoder.h"

namespace brenvale {

bool TTranscoder::deliver_packet(TDecodedPacket& decoded) {
    if (decoded.stream < 0) return true;
    InputStream& ist = input_streams_[static_cast<std::size_t>(decoded.stream)];
    if (!decoded.notice.empty()) log(1, decoded.notice);
    ist.pts = decoded.clock.pts;
    ist.next_pts = decoded.clock.next_pts;
    const AVPacket* packet = decoded.packet.get();
    if (packet && IsAttachedPicture(*ist.stream)) {
        copy_cover(decoded.stream, *packet);
        return true;
    }
    if (packet) copy_rounds(ist, decoded.stream, *packet);
    for (std::size_t i = 0; i < decoded.units.size(); ++i) {
        if (i > 0 && packet && engine_.verbose > 0)
            log(0, format_text("Multiple frames in a packet from stream %d", packet->stream_index));
        deliver_unit(ist, decoded.stream, packet, decoded.units[i]);
    }
    if (!decoded.failed) return true;
    const std::string message = format_text("Error while decoding stream #%d.%d", ist.file_index, ist.stream_index);
    if (engine_.exit_on_error) throw FFmpegException(message);
    if (engine_.verbose >= 0) log(1, message);
    return false;
}

void TTranscoder::deliver_unit(InputStream& ist, int ist_number, const AVPacket* packet, TDecodedUnit& unit) {
    ist.pts = unit.clock.pts;
    ist.next_pts = unit.clock.next_pts;
    if (unit.subtitle) {
        if (!before_start(ist)) deliver(ist, ist_number, packet, unit.subtitle.get());
        return;
    }
    ff::av_frame_unref(decoded_.get());
    ff::av_frame_move_ref(decoded_.get(), unit.frame.get());
    samples_.swap(unit.samples);
    if (ist.decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
        ist.quality = decoded_->quality;
        engine_.preprocess_video(*decoded_, ist.pts);
    }
    emulate_rate(ist);
    if (unit.taken && !before_start(ist)) deliver(ist, ist_number, packet, nullptr);
    ff::av_frame_unref(decoded_.get());
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

void TTranscoder::end_input_stream(int ist_number) {
    InputStream& ist = input_streams_[static_cast<std::size_t>(ist_number)];
    if (ist.next_pts == AV_NOPTS_VALUE) ist.next_pts = ist.pts;
    // A stopped run takes no more pictures or sound; what the encoders hold is still written.
    if (!engine_.stop_requested) {
        TDecodedPacket last = decoders_[static_cast<std::size_t>(ist.file_index)]->drain(ist_number);
        for (TDecodedUnit& unit : last.units) deliver_unit(ist, ist_number, nullptr, unit);
    }
    if (ist.decoder->codec_type == AVMEDIA_TYPE_SUBTITLE) return;
    drain_filters(ist, ist_number);
    flush_encoders(ist_number);
}

void TTranscoder::flush_encoders(int ist_number) {
    for (OutputStream& ost : output_streams_) {
        if (ost.source != ist_number || !ost.needs_encoding) continue;
        if (ost.encoder->codec_type == AVMEDIA_TYPE_AUDIO && ost.encoder->frame_size > 1) flush_audio_encoder(ost);
        if (ost.encoder->codec_type == AVMEDIA_TYPE_VIDEO) drain_encoder(ost, nullptr, "Video encoding failed");
    }
}

}  // namespace brenvale
