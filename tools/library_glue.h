// Owning pointers for the library objects the generator uses, and error checks.
#pragma once

#include <memory>
#include <string>

#include "binding/media_api.h"

namespace brenvale::mediagen {

struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { ff::avcodec_free_context(&context); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { ff::av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { ff::av_packet_free(&packet); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

std::string LibraryErrorText(int code);
// Throws GenerationError("<what>: <library text>") for a negative result.
void ThrowOnError(int result, const std::string& what);

const AVCodec* FindEncoder(const std::string& name);
CodecContextPtr AllocateContext(const AVCodec* codec);
FramePtr AllocateFrame();
PacketPtr AllocatePacket();

}  // namespace brenvale::mediagen
