// Slots of the media library functions. Nothing links the libraries: the loader fills these
// slots at run time, and every call goes through them (ff::avcodec_open2(...)).
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/avstring.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/fifo.h>
#include <libavutil/imgutils.h>
#include <libavutil/lfg.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "binding/function_lists.h"

namespace ff {

#define BRENVALE_DECLARE_SLOT(name) extern decltype(&::name) name;
BRENVALE_AVUTIL_FUNCTIONS(BRENVALE_DECLARE_SLOT)
BRENVALE_SWRESAMPLE_FUNCTIONS(BRENVALE_DECLARE_SLOT)
BRENVALE_SWSCALE_FUNCTIONS(BRENVALE_DECLARE_SLOT)
BRENVALE_AVCODEC_FUNCTIONS(BRENVALE_DECLARE_SLOT)
BRENVALE_AVFORMAT_FUNCTIONS(BRENVALE_DECLARE_SLOT)
BRENVALE_AVFILTER_FUNCTIONS(BRENVALE_DECLARE_SLOT)
BRENVALE_AVDEVICE_FUNCTIONS(BRENVALE_DECLARE_SLOT)
#undef BRENVALE_DECLARE_SLOT

}  // namespace ff
