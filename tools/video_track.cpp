#include "tools/encoder_track.h"
#include "tools/picture_source.h"

namespace brenvale::mediagen {
namespace {

class VideoTrack final : public EncoderTrack {
public:
    VideoTrack(OutputFile& output, const VideoSpec& setup)
        : EncoderTrack(output, FindEncoder(setup.codec), 1), spec_(setup), pictures_(setup) {
        AVCodecContext* context = Context();
        context->width = setup.width;
        context->height = setup.height;
        context->pix_fmt = pictures_.Format();
        context->framerate = AVRational{setup.frame_rate.num, setup.frame_rate.den};
        context->time_base = AVRational{setup.frame_rate.den, setup.frame_rate.num};
        context->gop_size = setup.key_frame_interval;
        context->keyint_min = setup.key_frame_interval;  // no extra key frames at scene changes
        if (setup.b_frames >= 0) context->max_b_frames = setup.b_frames;
        Open();
        StartAt(ff::av_rescale_q(setup.start_us, AV_TIME_BASE_Q, context->time_base));
    }

private:
    bool HasMoreFrames() const override { return frames_made_ < spec_.frame_count; }

    FramePtr MakeFrame(std::int64_t pts, std::int64_t& duration) override {
        FramePtr frame = pictures_.Picture(frames_made_++);
        frame->pts = pts;
        duration = 1;
        return frame;
    }

    VideoSpec spec_;
    PictureSource pictures_;
    std::int64_t frames_made_ = 0;
};

}  // namespace

std::unique_ptr<TrackWriter> MakeVideoTrack(OutputFile& output, const VideoSpec& setup) {
    return std::make_unique<VideoTrack>(output, setup);
}

}  // namespace brenvale::mediagen
