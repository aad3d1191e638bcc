#include "tools/encoder_track.h"

#include "tools/output_file.h"

namespace brenvale::mediagen {

EncoderTrack::EncoderTrack(OutputFile& output, const AVCodec* codec,
                           std::int64_t fallback_packet_duration)
    : output_(output),
      context_(AllocateContext(codec)),
      packet_(AllocatePacket()),
      fallback_packet_duration_(fallback_packet_duration) {}

AVStream* EncoderTrack::Open() {
    stream_ = output_.AddEncodedStream(context_.get());
    return stream_;
}

void EncoderTrack::WriteNext() {
    if (!HasMoreFrames()) {
        Encode(nullptr);
        finished_ = true;
        return;
    }
    std::int64_t duration = 0;
    FramePtr frame = MakeFrame(next_pts_, duration);
    Encode(frame.get());
    next_pts_ = frame->pts + duration;
}

void EncoderTrack::Encode(const AVFrame* frame) {
    const std::string what = std::string("encode with ") + context_->codec->name;
    ThrowOnError(ff::avcodec_send_frame(context_.get(), frame), what);
    for (;;) {
        const int received = ff::avcodec_receive_packet(context_.get(), packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
        ThrowOnError(received, what);
        if (packet_->duration == 0) packet_->duration = fallback_packet_duration_;
        output_.WritePacket(packet_.get(), stream_, context_->time_base);
    }
}

}  // namespace brenvale::mediagen
