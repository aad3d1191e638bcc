#include "tools/encoder_track.h"
#include "tools/media_generator.h"
#include "tools/test_pattern.h"

namespace brenvale::mediagen {
namespace {

class VideoTrack final : public EncoderTrack {
public:
    VideoTrack(OutputFile& output, const VideoSpec& setup)
        : EncoderTrack(output, FindEncoder(setup.codec), 1), spec_(setup) {
        AVCodecContext* context = Context();
        context->width = setup.width;
        context->height = setup.height;
        context->pix_fmt = PixelFormat(setup.pixel_format);
        context->framerate = AVRational{setup.frame_rate.num, setup.frame_rate.den};
        context->time_base = AVRational{setup.frame_rate.den, setup.frame_rate.num};
        context->gop_size = setup.key_frame_interval;
        context->keyint_min = setup.key_frame_interval;  // no extra key frames at scene changes
        Open();
    }

private:
    static AVPixelFormat PixelFormat(const std::string& name) {
        const AVPixelFormat format = ff::av_get_pix_fmt(name.c_str());
        if (format == AV_PIX_FMT_NONE) throw GenerationError("no pixel format named " + name);
        if (!CanDrawTestPattern(format)) {
            throw GenerationError("the test pattern needs planar 8-bit YUV, not " + name);
        }
        return format;
    }

    bool HasMoreFrames() const override { return frames_made_ < spec_.frame_count; }

    FramePtr MakeFrame(std::int64_t pts, std::int64_t& duration) override {
        FramePtr frame = AllocateFrame();
        frame->format = Context()->pix_fmt;
        frame->width = spec_.width;
        frame->height = spec_.height;
        ThrowOnError(ff::av_frame_get_buffer(frame.get(), 0), "picture buffer");
        DrawTestPattern(frame.get(), frames_made_++);
        frame->pts = pts;
        duration = 1;
        return frame;
    }

    VideoSpec spec_;
    std::int64_t frames_made_ = 0;
};

}  // namespace

std::unique_ptr<TrackWriter> MakeVideoTrack(OutputFile& output, const VideoSpec& setup) {
    return std::make_unique<VideoTrack>(output, setup);
}

}  // namespace brenvale::mediagen
