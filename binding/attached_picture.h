// Attached pictures: the cover of a music file is a stream of video type holding one still
// that belongs to the file as a whole. Nothing treats it as video.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

namespace brenvale {

inline bool IsAttachedPicture(const AVStream& stream) {
    return (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

// A stream of moving pictures: video, and not a cover.
inline bool IsVideoStream(const AVStream& stream) {
    return stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !IsAttachedPicture(stream);
}

}  // namespace brenvale
