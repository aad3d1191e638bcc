#include "tools/picture_source.h"

#include "tools/library_glue.h"
#include "tools/media_generator.h"
#include "tools/test_pattern.h"

namespace brenvale::mediagen {
namespace {

// Full chroma, so converted formats lose nothing of the pattern before their own subsampling.
constexpr AVPixelFormat kDrawnFormat = AV_PIX_FMT_YUV444P;

AVPixelFormat NamedFormat(const std::string& name) {
    const AVPixelFormat format = ff::av_get_pix_fmt(name.c_str());
    if (format == AV_PIX_FMT_NONE) throw GenerationError("no pixel format named " + name);
    if (!CanDrawTestPattern(format) && !ff::sws_isSupportedOutput(format))
        throw GenerationError("the scaler cannot write " + name);
    return format;
}

}  // namespace

PictureSource::PictureSource(const VideoSpec& track) : track_(track), format_(NamedFormat(track.pixel_format)) {
    if (CanDrawTestPattern(format_)) return;
    scaler_.reset(ff::sws_getContext(track.width, track.height, kDrawnFormat, track.width, track.height, format_,
                                     SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler_) throw GenerationError("the scaler cannot write " + track.pixel_format);
}

FramePtr PictureSource::Picture(std::int64_t index) {
    if (!scaler_) return DrawnPicture(format_, index);
    const FramePtr drawn = DrawnPicture(kDrawnFormat, index);
    FramePtr converted = AllocatePicture(format_, track_.width, track_.height);
    ff::sws_scale(scaler_.get(), drawn->data, drawn->linesize, 0, track_.height, converted->data,
                  converted->linesize);
    return converted;
}

FramePtr PictureSource::DrawnPicture(AVPixelFormat format, std::int64_t index) const {
    FramePtr frame = AllocatePicture(format, track_.width, track_.height);
    if (track_.noise) {
        DrawNoise(frame.get(), index);
    } else {
        DrawTestPattern(frame.get(), index);
    }
    if (track_.frame_numbers) DrawFrameNumber(frame.get(), index);
    return frame;
}

}  // namespace brenvale::mediagen
