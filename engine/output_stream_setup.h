// What the creation of one output stream decided, kept for the transcode set-up.
#pragma once

#include "engine/bitstream_filter_chain.h"

struct AVCodecContext;

namespace brenvale {

struct TOutputStreamSetup {
    // The stream's encoder context (for a copied stream: the context its parameters are
    // copied into), allocated with the stream so that options reach it before it opens.
    // Owned here until release_job; the run opens and closes it but never frees it.
    AVCodecContext* codec = nullptr;
    // The packets of the source are copied, not decoded and encoded again.
    bool stream_copy = false;
    TBitstreamFilterChain bitstream_filters;

    // Frees the context and the filters; the record is as new afterwards.
    void release();
};

}  // namespace brenvale
