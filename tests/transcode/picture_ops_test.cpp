// Crop views, padding with the pad colour and the deinterlacer on real frames.
#include <gtest/gtest.h>

#include <cstring>

#include "binding/library_loader.h"
#include "binding/media_api.h"
#include "engine/library_ptr.h"
#include "engine/picture_ops.h"
#include "engine/picture_pool.h"

namespace brenvale {
namespace {

class PictureOpsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError(); }
    void TearDown() override { Loader().UnloadLibrarySet(kConverterLibraries); }

    static FramePtr Picture(AVPixelFormat format, int width, int height) {
        FramePtr frame = allocate_frame();
        frame->format = format;
        frame->width = width;
        frame->height = height;
        EXPECT_GE(ff::av_frame_get_buffer(frame.get(), 0), 0);
        return frame;
    }

    // Every sample of a plane is its row number, so positions can be read back.
    static void FillWithRowNumbers(AVFrame& frame, int plane, int rows, int columns) {
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                frame.data[plane][y * frame.linesize[plane] + x] = static_cast<std::uint8_t>(y);
    }
};

TEST_F(PictureOpsTest, CropViewMovesChromaPlanesByHalfTheOffset) {
    FramePtr picture = Picture(AV_PIX_FMT_YUV420P, 64, 48);
    FramePtr view = allocate_frame();
    ASSERT_TRUE(crop_view(*picture, picture->format, 10, 4, *view));
    EXPECT_EQ(view->data[0], picture->data[0] + 10 * picture->linesize[0] + 4);
    EXPECT_EQ(view->data[1], picture->data[1] + 5 * picture->linesize[1] + 2);
    EXPECT_EQ(view->data[2], picture->data[2] + 5 * picture->linesize[2] + 2);
    EXPECT_EQ(view->width, 60);
    EXPECT_EQ(view->height, 38);
}

TEST_F(PictureOpsTest, CropViewOfPackedPixelsStepsWholePixels) {
    FramePtr picture = Picture(AV_PIX_FMT_RGB24, 16, 16);
    FramePtr view = allocate_frame();
    ASSERT_TRUE(crop_view(*picture, picture->format, 2, 3, *view));
    EXPECT_EQ(view->data[0], picture->data[0] + 2 * picture->linesize[0] + 9);
}

TEST_F(PictureOpsTest, CropViewRefusesOffsetsTheChromaCannotExpress) {
    FramePtr picture = Picture(AV_PIX_FMT_YUV420P, 64, 48);
    FramePtr view = allocate_frame();
    EXPECT_FALSE(crop_view(*picture, picture->format, 3, 0, *view));
    EXPECT_FALSE(crop_view(*picture, AV_PIX_FMT_MONOBLACK, 0, 0, *view));
}

TEST_F(PictureOpsTest, PadPaintsTheBordersAndCopiesTheSourceInside) {
    FramePtr source = Picture(AV_PIX_FMT_YUV420P, 8, 4);
    for (int p = 0; p < 3; ++p) FillWithRowNumbers(*source, p, p ? 2 : 4, p ? 4 : 8);
    FramePtr target = Picture(AV_PIX_FMT_YUV420P, 12, 8);
    ASSERT_TRUE(pad_picture(*target, source.get(), {2, 2, 2, 2}, {235, 10, 20}));
    const auto at = [&](int plane, int y, int x) { return target->data[plane][y * target->linesize[plane] + x]; };
    EXPECT_EQ(at(0, 0, 0), 235);
    EXPECT_EQ(at(0, 7, 11), 235);
    EXPECT_EQ(at(0, 3, 1), 235);
    EXPECT_EQ(at(0, 2, 2), 0);  // first source row
    EXPECT_EQ(at(0, 5, 9), 3);  // last source row
    EXPECT_EQ(at(0, 5, 10), 235);
    EXPECT_EQ(at(1, 0, 0), 10);
    EXPECT_EQ(at(2, 3, 5), 20);
    EXPECT_EQ(at(1, 1, 1), 0);
    EXPECT_EQ(at(2, 2, 4), 1);
}

TEST_F(PictureOpsTest, PadWithoutSourceOnlyPaintsAndRefusesOtherFormats) {
    FramePtr target = Picture(AV_PIX_FMT_YUV420P, 12, 8);
    FillWithRowNumbers(*target, 0, 8, 12);
    ASSERT_TRUE(pad_picture(*target, nullptr, {2, 0, 0, 0}, {16, 128, 128}));
    EXPECT_EQ(target->data[0][0], 16);
    EXPECT_EQ(target->data[0][3 * target->linesize[0]], 3);
    FramePtr packed = Picture(AV_PIX_FMT_RGB24, 12, 8);
    EXPECT_FALSE(pad_picture(*packed, nullptr, {2, 0, 0, 0}, {16, 128, 128}));
    EXPECT_FALSE(pad_picture(*target, nullptr, {6, 6, 0, 0}, {16, 128, 128}));
}

TEST_F(PictureOpsTest, DeinterlaceBlendsAlternatingLinesAndKeepsFlatAreas) {
    FramePtr source = Picture(AV_PIX_FMT_YUV420P, 16, 16);
    for (int y = 0; y < 16; ++y) std::fill_n(source->data[0] + y * source->linesize[0], 16, y % 2 ? 200 : 40);
    for (int p = 1; p < 3; ++p)
        for (int y = 0; y < 8; ++y) std::fill_n(source->data[p] + y * source->linesize[p], 8, 77);
    FramePtr target = Picture(AV_PIX_FMT_YUV420P, 16, 16);
    ASSERT_TRUE(deinterlace_picture(*target, *source));
    // A bottom-field line: (-200 + 4*40 + 2*200 + 4*40 - 200) / 8 = 40, the top field's value.
    EXPECT_EQ(target->data[0][8 * target->linesize[0] + 5], 40);
    EXPECT_EQ(target->data[0][9 * target->linesize[0] + 5], 40);
    EXPECT_EQ(target->data[1][3 * target->linesize[1] + 3], 77);
    FramePtr packed = Picture(AV_PIX_FMT_RGB24, 16, 16);
    EXPECT_FALSE(deinterlace_picture(*packed, *packed));
}

// The steady state takes turns between the buffers the encoder let go; one it still holds is
// never handed out, and it stays valid when the pool goes.
TEST_F(PictureOpsTest, PoolReusesOnlyBuffersNobodyHolds) {
    TPicturePool pool;
    FramePtr picture = allocate_frame();
    ASSERT_TRUE(pool.fill(*picture, AV_PIX_FMT_YUV420P, 64, 48));
    EXPECT_EQ(picture->linesize[0] % 32, 0);
    EXPECT_GE(picture->linesize[0], 64);
    FramePtr held = allocate_frame();
    ASSERT_GE(ff::av_frame_ref(held.get(), picture.get()), 0);
    const std::uint8_t* first = held->data[0];

    ASSERT_TRUE(pool.fill(*picture, AV_PIX_FMT_YUV420P, 64, 48));
    const std::uint8_t* second = picture->data[0];
    EXPECT_NE(second, first);
    ff::av_frame_unref(held.get());
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(pool.fill(*picture, AV_PIX_FMT_YUV420P, 64, 48));
        EXPECT_TRUE(picture->data[0] == first || picture->data[0] == second) << round;
    }

    ASSERT_TRUE(pool.fill(*picture, AV_PIX_FMT_YUV444P, 128, 96));  // larger: a new pool
    ASSERT_GE(ff::av_frame_ref(held.get(), picture.get()), 0);
    pool.release();
    std::memset(held->data[2], 200, static_cast<std::size_t>(held->linesize[2]) * 96);
    EXPECT_EQ(held->data[2][held->linesize[2] * 95 + 127], 200);
}

}  // namespace
}  // namespace brenvale
