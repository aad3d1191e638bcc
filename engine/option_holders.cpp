// The holders that keep generic option values set by name until the real contexts exist.
#include <algorithm>

#include "binding/media_api.h"
#include "engine/custom_ffmpeg.h"
#include "engine/ffmpeg_exception.h"

namespace brenvale {
namespace {

constexpr int kHolderPictureSize = 16;

}  // namespace

void TCustomFFmpeg::create_option_holders() {
    for (int type = 0; type < kMediaTypeCount; ++type) {
        AVCodecContext* holder = ff::avcodec_alloc_context3(nullptr);
        if (holder) holder->codec_type = static_cast<AVMediaType>(type);
        option_context.codec_opts[static_cast<std::size_t>(type)] = holder;
    }
    option_context.format_opts = ff::avformat_alloc_context();
    option_context.sws_opts =
        ff::sws_getContext(kHolderPictureSize, kHolderPictureSize, AV_PIX_FMT_YUV420P, kHolderPictureSize,
                           kHolderPictureSize, AV_PIX_FMT_YUV420P, sws_flags, nullptr, nullptr, nullptr);
    const bool codec_holders_made = std::all_of(option_context.codec_opts.begin(), option_context.codec_opts.end(),
                                                [](const AVCodecContext* holder) { return holder != nullptr; });
    if (!codec_holders_made || !option_context.format_opts || !option_context.sws_opts) {
        throw FFmpegException("Cannot allocate the option holders");
    }
}

void TCustomFFmpeg::release_option_holders() {
    for (AVCodecContext*& holder : option_context.codec_opts) ff::avcodec_free_context(&holder);
    ff::avformat_free_context(option_context.format_opts);
    option_context.format_opts = nullptr;
    ff::sws_freeContext(option_context.sws_opts);
    option_context.sws_opts = nullptr;
    option_context.opt_names.clear();
    option_context.assigned.clear();
}

}  // namespace brenvale
