#include "tools/library_glue.h"

#include "tools/media_generator.h"

namespace brenvale::mediagen {

std::string LibraryErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    ff::av_strerror(code, text, sizeof text);
    return text;
}

void ThrowOnError(int result, const std::string& what) {
    if (result < 0) throw GenerationError(what + ": " + LibraryErrorText(result));
}

const AVCodec* FindEncoder(const std::string& name) {
    const AVCodec* codec = ff::avcodec_find_encoder_by_name(name.c_str());
    if (!codec) throw GenerationError("no encoder named " + name);
    return codec;
}

CodecContextPtr AllocateContext(const AVCodec* codec) {
    CodecContextPtr context(ff::avcodec_alloc_context3(codec));
    if (!context)
        throw GenerationError("out of memory for the " + std::string(codec->name) + " encoder");
    return context;
}

FramePtr AllocateFrame() {
    FramePtr frame(ff::av_frame_alloc());
    if (!frame) throw GenerationError("out of memory for a frame");
    return frame;
}

FramePtr AllocatePicture(AVPixelFormat format, int width, int height) {
    FramePtr frame = AllocateFrame();
    frame->format = format;
    frame->width = width;
    frame->height = height;
    ThrowOnError(ff::av_frame_get_buffer(frame.get(), 0), "picture buffer");
    return frame;
}

PacketPtr AllocatePacket() {
    PacketPtr packet(ff::av_packet_alloc());
    if (!packet) throw GenerationError("out of memory for a packet");
    return packet;
}

}  // namespace brenvale::mediagen
