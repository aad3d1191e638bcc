// The cover of a music file: one still picture in a stream the muxers store as album art.
#include "tools/encoder_track.h"
#include "tools/library_glue.h"
#include "tools/media_generator.h"
#include "tools/test_pattern.h"

namespace brenvale::mediagen {
namespace {

// Still-picture encoders take one picture; the time base only has to be valid.
constexpr AVRational kCoverTimeBase{1, 25};

AVPixelFormat FirstPixelFormat(const AVCodec* codec) {
    if (!codec->pix_fmts || codec->pix_fmts[0] == AV_PIX_FMT_NONE)
        throw GenerationError(std::string(codec->name) + " lists no pixel format");
    return codec->pix_fmts[0];
}

// The first frame of the test pattern, in the encoder's own pixel format (RGB for PNG).
FramePtr PatternPicture(AVPixelFormat format, int width, int height) {
    if (CanDrawTestPattern(format)) {
        FramePtr picture = AllocatePicture(format, width, height);
        DrawTestPattern(picture.get(), 0);
        return picture;
    }
    const FramePtr drawn = AllocatePicture(AV_PIX_FMT_YUV420P, width, height);
    DrawTestPattern(drawn.get(), 0);
    FramePtr picture = AllocatePicture(format, width, height);
    const SwsPtr scaler(ff::sws_getContext(width, height, AV_PIX_FMT_YUV420P, width, height, format,
                                           SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler) throw GenerationError("no conversion to the cover's pixel format");
    ff::sws_scale(scaler.get(), drawn->data, drawn->linesize, 0, height, picture->data,
                  picture->linesize);
    return picture;
}

class CoverTrack final : public EncoderTrack {
public:
    CoverTrack(OutputFile& output, const CoverSpec& setup)
        : EncoderTrack(output, FindEncoder(setup.codec), 1), spec_(setup) {
        AVCodecContext* context = Context();
        context->width = setup.width;
        context->height = setup.height;
        context->pix_fmt = FirstPixelFormat(context->codec);
        context->time_base = kCoverTimeBase;
        Open()->disposition = AV_DISPOSITION_ATTACHED_PIC;
    }

private:
    bool HasMoreFrames() const override { return !written_; }

    FramePtr MakeFrame(std::int64_t pts, std::int64_t& duration) override {
        FramePtr picture = PatternPicture(Context()->pix_fmt, spec_.width, spec_.height);
        picture->pts = pts;
        duration = 1;
        written_ = true;
        return picture;
    }

    CoverSpec spec_;
    bool written_ = false;
};

}  // namespace

std::unique_ptr<TrackWriter> MakeCoverTrack(OutputFile& output, const CoverSpec& setup) {
    return std::make_unique<CoverTrack>(output, setup);
}

}  // namespace brenvale::mediagen
