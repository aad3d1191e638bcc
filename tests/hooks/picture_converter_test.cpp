// The picture converter block: 24-bit bitmaps from library pictures and back, never writing
// past the bitmap's pixels or the picture's rows.
#include "common/picture_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "binding/library_loader.h"
#include "tests/hooks/test_pictures.h"

namespace brenvale::testing {
namespace {

TPictureRef Ref(const AVFrame& picture) {
    return {picture.data, picture.linesize, picture.format, picture.width, picture.height};
}

std::uint8_t* Row(AVFrame& picture, int row) {
    return picture.data[0] + static_cast<std::ptrdiff_t>(row) * picture.linesize[0];
}

// Every pixel byte of the bitmap within `tolerance` of `value`.
bool BitmapIs(TBitmap& bitmap, int value, int tolerance) {
    for (int row = 0; row < bitmap.Height(); ++row) {
        for (int x = 0; x < bitmap.Width() * 3; ++x) {
            if (std::abs(bitmap.ScanLine(row)[x] - value) > tolerance) return false;
        }
    }
    return true;
}

void FillBitmap(TBitmap& bitmap, std::uint8_t value) {
    for (int row = 0; row < bitmap.Height(); ++row) std::memset(bitmap.ScanLine(row), value, bitmap.Stride());
}

class PictureConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loader().LoadLibrarySet(kConverterLibraries)) << Loader().LastError();
        ff::av_log_set_level(AV_LOG_QUIET);
    }
    void TearDown() override {
        converter_.reset();
        Loader().UnloadLibrarySet(kConverterLibraries);
    }

    TPictureConverter converter_;
};

TEST_F(PictureConverterTest, RgbPictureIsCopiedExactlyAndOnlyWithinItsPixels) {
    FramePtr picture = MakePicture(AV_PIX_FMT_BGR24, 30, 10, 0x55);
    ASSERT_GT(picture->linesize[0], 90);  // the rows have bytes past their pixels
    for (int row = 0; row < 10; ++row) {
        for (int x = 0; x < 90; ++x) Row(*picture, row)[x] = static_cast<std::uint8_t>(row * 7 + x);
    }
    ASSERT_TRUE(converter_.to_bitmap(Ref(*picture)));
    TBitmap& bitmap = converter_.bitmap();
    ASSERT_EQ(bitmap.Width(), 30);
    ASSERT_EQ(bitmap.Height(), 10);
    for (int row = 0; row < 10; ++row) {
        for (int x = 0; x < 90; ++x) ASSERT_EQ(bitmap.ScanLine(row)[x], static_cast<std::uint8_t>(row * 7 + x));
    }

    FillBitmap(bitmap, 0xAA);
    ASSERT_TRUE(converter_.from_bitmap(Ref(*picture)));
    for (int row = 0; row < 10; ++row) {
        for (int x = 0; x < picture->linesize[0]; ++x) ASSERT_EQ(Row(*picture, row)[x], x < 90 ? 0xAA : 0x55);
    }
}

TEST_F(PictureConverterTest, BitmapKeepsTheFirstSizeAndOtherSizesAreScaledBothWays) {
    FramePtr first = MakePicture(AV_PIX_FMT_YUV420P, 64, 48, 0x80);
    ASSERT_TRUE(converter_.to_bitmap(Ref(*first)));

    FramePtr larger = MakePicture(AV_PIX_FMT_BGR24, 160, 120, 0x40);
    ASSERT_TRUE(converter_.to_bitmap(Ref(*larger)));
    TBitmap& bitmap = converter_.bitmap();
    EXPECT_EQ(bitmap.Width(), 64);
    EXPECT_EQ(bitmap.Height(), 48);
    EXPECT_TRUE(BitmapIs(bitmap, 0x40, 1));

    FillBitmap(bitmap, 0x90);
    ASSERT_TRUE(converter_.from_bitmap(Ref(*larger)));
    for (int row = 0; row < 120; ++row) {
        for (int x = 0; x < larger->linesize[0]; ++x) {
            const int expected = x < 480 ? 0x90 : 0x40;
            ASSERT_NEAR(Row(*larger, row)[x], expected, x < 480 ? 2 : 0) << "row " << row << " byte " << x;
        }
    }

    FramePtr smaller = MakePicture(AV_PIX_FMT_YUV420P, 32, 24, 0x80);
    ASSERT_TRUE(converter_.to_bitmap(Ref(*smaller)));
    EXPECT_EQ(bitmap.Width(), 64);
    ASSERT_TRUE(converter_.from_bitmap(Ref(*smaller)));
}

}  // namespace
}  // namespace brenvale::testing
