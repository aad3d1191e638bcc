#include "common/bitmap_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/bitmap.h"

namespace brenvale {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(offset + static_cast<std::size_t>(i));
    return value;
}

// A pixel value that differs per position and channel, so swapped rows or channels show.
std::uint8_t PixelByte(int x, int y, int channel) { return static_cast<std::uint8_t>(1 + x * 16 + y * 64 + channel); }

struct BitmapSize {
    int width;
    int height;
    int stride;
};

class BitmapFileTest : public ::testing::TestWithParam<BitmapSize> {
protected:
    void TearDown() override { fs::remove(path_); }
    fs::path path_ = fs::temp_directory_path() / ("brenvale-bitmap-" + std::to_string(::getpid()) + ".bmp");
};

TEST_P(BitmapFileTest, WritesHeadersAndBottomUpPaddedRows) {
    const BitmapSize size = GetParam();
    TBitmap bitmap(size.width, size.height);
    ASSERT_EQ(bitmap.Stride(), size.stride);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) bitmap.ScanLine(y)[x * 3 + channel] = PixelByte(x, y, channel);
        }
    }
    ASSERT_TRUE(SaveBitmapFile(bitmap, path_.string()));

    const std::vector<std::uint8_t> file = ReadAll(path_);
    const std::uint32_t image_size = static_cast<std::uint32_t>(size.stride * size.height);
    ASSERT_EQ(file.size(), 54u + image_size);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(LittleEndian(file, 2, 4), file.size());
    EXPECT_EQ(LittleEndian(file, 10, 4), 54u);  // pixel data offset
    EXPECT_EQ(LittleEndian(file, 14, 4), 40u);  // info header size
    EXPECT_EQ(LittleEndian(file, 18, 4), static_cast<std::uint32_t>(size.width));
    EXPECT_EQ(LittleEndian(file, 22, 4), static_cast<std::uint32_t>(size.height));
    EXPECT_EQ(LittleEndian(file, 26, 2), 1u);   // planes
    EXPECT_EQ(LittleEndian(file, 28, 2), 24u);  // bits per pixel
    EXPECT_EQ(LittleEndian(file, 30, 4), 0u);   // uncompressed
    EXPECT_EQ(LittleEndian(file, 34, 4), image_size);

    for (int file_row = 0; file_row < size.height; ++file_row) {
        const int y = size.height - 1 - file_row;
        const std::size_t row_start = 54 + static_cast<std::size_t>(file_row * size.stride);
        for (int x = 0; x < size.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                EXPECT_EQ(file[row_start + static_cast<std::size_t>(x * 3 + channel)], PixelByte(x, y, channel))
                    << "x " << x << " y " << y << " channel " << channel;
            }
        }
        for (int pad = size.width * 3; pad < size.stride; ++pad) {
            EXPECT_EQ(file[row_start + static_cast<std::size_t>(pad)], 0) << "padding of row " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BitmapFileTest,
                         ::testing::Values(BitmapSize{3, 2, 12}, BitmapSize{4, 3, 12}, BitmapSize{1, 3, 4},
                                           BitmapSize{5, 1, 16}, BitmapSize{0, 0, 0}));

TEST(BitmapTest, SavingIntoAMissingFolderFails) {
    const TBitmap bitmap(2, 2);
    EXPECT_FALSE(SaveBitmapFile(bitmap, "/nonexistent-brenvale-folder/snapshot.bmp"));
}

}  // namespace
}  // namespace brenvale
