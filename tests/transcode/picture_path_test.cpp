// The pictures the encoders get when the engine scales and pads: the same as the library's
// scaler makes on one thread, and never a buffer the encoder still holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "binding/media_api.h"
#include "engine/library_ptr.h"
#include "tests/support/test_media.h"
#include "tests/transcode/transcode_job.h"
#include "tools/clip_catalogue.h"
#include "tools/test_pattern.h"

namespace brenvale::testing {
namespace {

namespace clips = mediagen::clips;

struct Plane {
    std::vector<std::uint8_t> samples;
    int width = 0;
    int height = 0;
};
using Picture = std::vector<Plane>;  // Y, U, V of a yuv420p picture

Picture CopyPlanes(const AVFrame& frame, int top, int left, int width, int height) {
    Picture picture;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        Plane plane{{}, width >> shift, height >> shift};
        for (int y = 0; y < plane.height; ++y) {
            const std::uint8_t* row = frame.data[p] + ((top >> shift) + y) * frame.linesize[p] + (left >> shift);
            plane.samples.insert(plane.samples.end(), row, row + plane.width);
        }
        picture.push_back(std::move(plane));
    }
    return picture;
}

// The source's pictures scaled by the library on one thread, as the engine's scaler is set up.
std::vector<Picture> ReferencePictures(const std::string& source, int width, int height) {
    std::vector<Picture> pictures;
    SwsPtr scaler;
    ReadMedia(source, [&](int, const AVFrame& frame) {
        if (frame.width <= 0) return;
        if (!scaler) {
            scaler.reset(ff::sws_getContext(frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), width,
                                            height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
        }
        FramePtr scaled = allocate_frame();
        scaled->format = AV_PIX_FMT_YUV420P;
        scaled->width = width;
        scaled->height = height;
        ASSERT_GE(ff::av_frame_get_buffer(scaled.get(), 0), 0);
        ff::sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, scaled->data, scaled->linesize);
        pictures.push_back(CopyPlanes(*scaled, 0, 0, width, height));
    });
    return pictures;
}

int LargestDifference(const Picture& a, const Picture& b) {
    int largest = 0;
    for (std::size_t p = 0; p < a.size(); ++p) {
        for (std::size_t i = 0; i < a[p].samples.size(); ++i)
            largest = std::max(largest, std::abs(a[p].samples[i] - b[p].samples[i]));
    }
    return largest;
}

bool PaintedIn(const AVFrame& frame, int plane, int row, std::uint8_t value) {
    const std::uint8_t* samples = frame.data[plane] + row * frame.linesize[plane];
    const int width = plane == 0 ? frame.width : frame.width / 2;
    return std::all_of(samples, samples + width, [value](std::uint8_t sample) { return sample == value; });
}

struct ScaleCase {
    const char* name;
    const char* source;
    int pad_rows;  // at the top and at the bottom
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.name; }

class PicturePathTest : public TranscodeTest, public ::testing::WithParamInterface<ScaleCase> {};

// Uncompressed output: every sample of every picture can be compared.
TEST_P(PicturePathTest, ScaledPicturesAreTheLibrarysOwn) {
    const ScaleCase& c = GetParam();
    const std::string source = TestClipPath(c.source);
    const std::string output = PathOf("scaled.avi");
    constexpr int kWidth = 176;
    constexpr int kHeight = 144;
    const int inner_height = kHeight - 2 * c.pad_rows;
    OptionList options = {{"an", "1"}, {"vcodec", "rawvideo"}, {"pix_fmt", "yuv420p"},
                          {"s", "176x" + std::to_string(inner_height)}};
    if (c.pad_rows > 0) {
        options.push_back({"padtop", std::to_string(c.pad_rows)});
        options.push_back({"padbottom", std::to_string(c.pad_rows)});
    }
    const JobOutcome outcome = RunJob(Convert(source, output, options));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;

    const std::vector<Picture> expected = ReferencePictures(source, kWidth, inner_height);
    std::size_t index = 0;
    ReadMedia(output, [&](int, const AVFrame& frame) {
        ASSERT_EQ(frame.width, kWidth);
        ASSERT_EQ(frame.height, kHeight);
        ASSERT_LT(index, expected.size());
        // Slices of several threads may round the dither of a deeper source apart by a step.
        EXPECT_LE(LargestDifference(CopyPlanes(frame, c.pad_rows, 0, kWidth, inner_height), expected[index]), 2)
            << "picture " << index;
        if (c.pad_rows > 0) {
            EXPECT_TRUE(PaintedIn(frame, 0, 0, 16) && PaintedIn(frame, 0, kHeight - 1, 16)) << "picture " << index;
            EXPECT_TRUE(PaintedIn(frame, 1, 0, 128) && PaintedIn(frame, 2, kHeight / 2 - 1, 128))
                << "picture " << index;
        }
        ++index;
    });
    EXPECT_EQ(index, expected.size());
}

INSTANTIATE_TEST_SUITE_P(Shapes, PicturePathTest,
                         ::testing::Values(ScaleCase{"Smaller", clips::kLateSound, 0},
                                           ScaleCase{"SmallerAndPadded", clips::kLateSound, 16},
                                           ScaleCase{"TenBitSource", clips::kH264TenBit, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// An encoder that reorders pictures keeps several of them; each must still show its own number.
TEST_F(TranscodeTest, PicturesHeldByTheEncoderAreNeverReused) {
    const std::string output = PathOf("reordered.avi");
    const JobOutcome outcome = RunJob(Convert(TestClipPath(clips::kLateSound), output,
                                              {{"an", "1"}, {"vcodec", "mpeg4"}, {"bf", "2"}, {"qscale", "2"},
                                               {"s", "640x480"}}));
    ASSERT_TRUE(outcome.finished) << outcome.exception_message;
    std::vector<std::int64_t> numbers;
    ReadMedia(output, [&](int, const AVFrame& frame) { numbers.push_back(mediagen::ReadFrameNumber(frame)); });
    ASSERT_EQ(numbers.size(), 100u);
    for (std::size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], static_cast<std::int64_t>(i)) << i;
}

}  // namespace
}  // namespace brenvale::testing
