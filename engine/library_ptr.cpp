#include "engine/library_ptr.h"

#include "binding/media_api.h"
#include "engine/ffmpeg_exception.h"

namespace brenvale {

void FrameDeleter::operator()(AVFrame* frame) const { ff::av_frame_free(&frame); }
void PacketDeleter::operator()(AVPacket* packet) const { ff::av_packet_free(&packet); }
void FifoDeleter::operator()(AVFifo* fifo) const { ff::av_fifo_freep2(&fifo); }
void SwrDeleter::operator()(SwrContext* context) const { ff::swr_free(&context); }
void SwsDeleter::operator()(SwsContext* context) const { ff::sws_freeContext(context); }

FramePtr allocate_frame() {
    FramePtr frame(ff::av_frame_alloc());
    if (!frame) throw FFmpegException("av_malloc fail");
    return frame;
}

PacketPtr allocate_packet() {
    PacketPtr packet(ff::av_packet_alloc());
    if (!packet) throw FFmpegException("av_malloc fail");
    return packet;
}

}  // namespace brenvale
