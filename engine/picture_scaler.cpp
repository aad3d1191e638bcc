#include "engine/picture_scaler.h"

#include "binding/media_api.h"

namespace brenvale {
namespace {

constexpr int kThreadsPerCore = 0;  // the library's "auto": one slice thread per core

bool set_options(SwsContext* context, const TScaleShape& shape) {
    const struct {
        const char* name;
        std::int64_t value;
    } options[] = {{"srcw", shape.source_width},      {"srch", shape.source_height},
                   {"src_format", shape.source_format}, {"dstw", shape.target_width},
                   {"dsth", shape.target_height},     {"dst_format", shape.target_format},
                   {"sws_flags", static_cast<unsigned>(shape.flags)}, {"threads", kThreadsPerCore}};
    for (const auto& option : options) {
        if (ff::av_opt_set_int(context, option.name, option.value, 0) < 0) return false;
    }
    return true;
}

}  // namespace

bool TPictureScaler::prepare(const TScaleShape& shape) {
    if (context_ && shape == shape_) return true;
    context_.reset();
    // The scaler aborts the process on formats it does not know.
    if (!ff::sws_isSupportedInput(static_cast<AVPixelFormat>(shape.source_format)) ||
        !ff::sws_isSupportedOutput(static_cast<AVPixelFormat>(shape.target_format)))
        return false;
    SwsPtr context(ff::sws_alloc_context());
    if (!context || !set_options(context.get(), shape) || ff::sws_init_context(context.get(), nullptr, nullptr) < 0)
        return false;
    context_ = std::move(context);
    shape_ = shape;
    return true;
}

bool TPictureScaler::scale(const AVFrame& source, AVFrame& target) {
    return ff::sws_scale_frame(context_.get(), &target, &source) >= 0;
}

}  // namespace brenvale
