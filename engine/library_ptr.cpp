#include "engine/library_ptr.h"

#include "binding/media_api.h"
#include "engine/ffmpeg_exception.h"

namespace brenvale {

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
