// The part video and audio tracks share: an encoder fed frame by frame, whose packets go
// to one output stream.
#pragma once

#include "tools/library_glue.h"
#include "tools/track_writer.h"

namespace brenvale::mediagen {

class EncoderTrack : public TrackWriter {
public:
    bool Finished() const override { return finished_; }
    std::int64_t NextTime() const override { return next_pts_; }
    AVRational TimeBase() const override { return context_->time_base; }
    void WriteNext() override;

protected:
    // `fallback_packet_duration` (encoder time base) is given to packets the encoder leaves
    // without one: muxers that write edit lists drop a last frame of unknown length.
    EncoderTrack(OutputFile& output, const AVCodec* codec, std::int64_t fallback_packet_duration);

    // The subclass fills the context, then opens it; the stream is the output's.
    AVCodecContext* Context() { return context_.get(); }
    AVStream* Open();
    // The first frame's time, in the encoder's time base (0 unless set).
    void StartAt(std::int64_t pts) { next_pts_ = pts; }

    virtual bool HasMoreFrames() const = 0;
    // The next frame, due at `pts` (its pts may be set later, to leave a gap); it lasts
    // `duration` in the encoder's time base.
    virtual FramePtr MakeFrame(std::int64_t pts, std::int64_t& duration) = 0;

private:
    void Encode(const AVFrame* frame);

    OutputFile& output_;
    CodecContextPtr context_;
    AVStream* stream_ = nullptr;
    PacketPtr packet_;
    std::int64_t fallback_packet_duration_;
    std::int64_t next_pts_ = 0;
    bool finished_ = false;
};

}  // namespace brenvale::mediagen
