// Bitmap sizes as the development host reads them from either build of the
// module: the native table holds whole .bmp files, the .gau's resource
// section the same bitmaps without their 14-byte file header.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "devhost/core/bitmap_catalog.h"

namespace {

void put32(std::vector<unsigned char>& bytes, size_t at, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
}

std::vector<unsigned char> infoHeader(int32_t width, int32_t height)
{
    std::vector<unsigned char> bytes(40);
    put32(bytes, 0, 40);
    put32(bytes, 4, width);
    put32(bytes, 8, height);
    return bytes;
}

std::vector<unsigned char> bmpFile(int32_t width, int32_t height)
{
    std::vector<unsigned char> bytes = {'B', 'M'};
    bytes.resize(14);
    std::vector<unsigned char> info = infoHeader(width, height);
    bytes.insert(bytes.end(), info.begin(), info.end());
    return bytes;
}

void expectSize(std::optional<Point> size, int32_t width, int32_t height)
{
    ASSERT_TRUE(size);
    EXPECT_EQ(size->x, width);
    EXPECT_EQ(size->y, height);
}

TEST(BitmapSize, TheSameBitmapReadsAlikeFromTheFileAndFromTheResource)
{
    expectSize(devhost::bmpSize(bmpFile(96, 44)), 96, 44);
    expectSize(devhost::bmpSize(infoHeader(96, 44)), 96, 44);
}

TEST(BitmapSize, ATopDownBitmapCountsItsRowsDownwards)
{
    expectSize(devhost::bmpSize(infoHeader(300, -300)), 300, 300);
}

TEST(BitmapSize, TruncatedEmptyOrAlienBytesHaveNoSize)
{
    std::vector<unsigned char> file = bmpFile(96, 44);
    constexpr size_t throughTheHeight = 14 + 12;
    EXPECT_TRUE(devhost::bmpSize({file.data(), throughTheHeight}));
    EXPECT_FALSE(devhost::bmpSize({file.data(), throughTheHeight - 1}));
    EXPECT_FALSE(devhost::bmpSize({}));
    EXPECT_FALSE(devhost::bmpSize(infoHeader(0, 44)));
    EXPECT_FALSE(devhost::bmpSize(infoHeader(96, INT32_MIN)));
    std::vector<unsigned char> wave = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0, 0, 0};
    EXPECT_FALSE(devhost::bmpSize(wave));
}

}  // namespace
