// Allocation and error checks for the library objects the generator uses.
#pragma once

#include <string>

#include "binding/library_ptr.h"

namespace brenvale::mediagen {

std::string LibraryErrorText(int code);
// Throws GenerationError("<what>: <library text>") for a negative result.
void ThrowOnError(int result, const std::string& what);

const AVCodec* FindEncoder(const std::string& name);
CodecContextPtr AllocateContext(const AVCodec* codec);
FramePtr AllocateFrame();
// A frame with buffers for a picture of that format and size.
FramePtr AllocatePicture(AVPixelFormat format, int width, int height);
PacketPtr AllocatePacket();

}  // namespace brenvale::mediagen
