// Hooks and previews inside real jobs: what the custom hook draws is what gets encoded, and the
// previews show the encoded pictures at the encoder's size and time.
#include "engine/custom_ffmpeg.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"

namespace brenvale::testing {
namespace {

constexpr int kClipFrames = 50;  // 25 per second
// Its AVI shows the first picture for two frames (the muxer moved the pictures after it behind
// the sound's start); the output keeps every picture at its time.
constexpr int kClipTimeFrames = 51;

TEST_F(TranscodeTest, CustomHookDrawingIsEncoded) {
    const std::string output = PathOf("out.avi");
    std::vector<std::int32_t> frame_numbers;
    JobSpec setup = Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), output, {{"vcodec", "mpeg4"}, {"an", "1"}});
    setup.before_start = [&frame_numbers](TCustomFFmpeg& engine) {
        engine.on_custom_hook = [&frame_numbers](TCustomFFmpeg&, TBitmap& bitmap, std::int32_t frame, std::int64_t,
                                                 bool&, bool&) {
            frame_numbers.push_back(frame);
            for (int row = 0; row < bitmap.Height(); ++row) std::fill_n(bitmap.ScanLine(row), bitmap.Width() * 3, 0xFF);
        };
    };
    const JobOutcome outcome = RunJob(setup);
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    ASSERT_EQ(frame_numbers.size(), static_cast<std::size_t>(kClipFrames));
    for (int i = 0; i < kClipFrames; ++i) EXPECT_EQ(frame_numbers[static_cast<std::size_t>(i)], i + 1);
    int white_frames = 0;
    ReadMedia(output, [&white_frames](int, const AVFrame& frame) {
        const std::uint8_t centre = frame.data[0][frame.height / 2 * frame.linesize[0] + frame.width / 2];
        if (frame.width > 0 && centre > 220) ++white_frames;
    });
    EXPECT_EQ(white_frames, kClipTimeFrames);
}

TEST_F(TranscodeTest, PreviewBitmapsShowEncodedPicturesWithTheirTime) {
    struct Preview {
        int width, height;
        std::int64_t pts;
    };
    std::vector<Preview> previews;
    JobSpec setup = Convert(TestClipPath(mediagen::clips::kAviMpeg4Mp3), PathOf("out.avi"),
                           {{"vcodec", "mpeg4"}, {"an", "1"}, {"s", "160x120"}});
    setup.before_start = [&previews](TCustomFFmpeg& engine) {
        engine.preview_interval = -1;
        engine.set_preview_flags(kPreviewBitmap | kPreviewWindow);
        engine.on_preview = [&previews](TCustomFFmpeg&, TBitmap& bitmap, std::int32_t, std::int64_t pts) {
            previews.push_back({bitmap.Width(), bitmap.Height(), pts});
        };
    };
    const JobOutcome outcome = RunJob(setup);
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    ASSERT_EQ(previews.size(), static_cast<std::size_t>(kClipTimeFrames));
    for (std::size_t i = 0; i < previews.size(); ++i) {
        EXPECT_EQ(previews[i].width, 160);
        EXPECT_EQ(previews[i].height, 120);
        EXPECT_EQ(previews[i].pts, static_cast<std::int64_t>(i) * 40000);
    }
}

}  // namespace
}  // namespace brenvale::testing
