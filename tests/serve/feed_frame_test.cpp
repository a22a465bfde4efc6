// The feed's frames read back as a page reads them: in pieces of any size,
// with keep-alives between, each tile's PNG bytes intact.
#include <gtest/gtest.h>

#include <cairo.h>

#include <optional>
#include <string>
#include <vector>

#include "devhost/serve/feed_message.h"
#include "tests/serve/feed_pictures.h"

namespace devhost {
namespace {

// A tile whose every pixel differs, so that a byte lost or moved shows.
constexpr int Width = 5, Height = 3;
uint32_t stripe(int index) { return uint32_t(0x10305 * (index + 1)) & 0xFFFFFF; }

TilePiece stripedTile(size_t gauge)
{
    SurfaceHandle pixels = uninitialisedImage(CAIRO_FORMAT_RGB24, Width, Height);
    auto* data = cairo_image_surface_get_data(pixels.get());
    const int stride = cairo_image_surface_get_stride(pixels.get());
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = stripe(y * Width + x);
    cairo_surface_mark_dirty(pixels.get());
    return {gauge, {7, 9, Width, Height}, std::move(pixels)};
}

std::vector<uint32_t> decodedPixels(std::string_view png)
{
    const SurfaceHandle image = testing::decodedPng(png);
    std::vector<uint32_t> pixels;
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return pixels;
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < cairo_image_surface_get_height(image.get()); ++y)
        for (int x = 0; x < cairo_image_surface_get_width(image.get()); ++x)
            pixels.push_back(reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(image.get()) + y * stride)[x] &
                             0xFFFFFF);
    return pixels;
}

TEST(FeedFrames, ReadsFramesSplitAnyWayWithTheirTilesIntact)
{
    PanelSnapshot first;
    first.tiles.push_back(stripedTile(3));
    first.tiles.push_back(stripedTile(4));
    std::vector<uint32_t> meant;
    for (int i = 0; i < Width * Height; ++i)
        meant.push_back(stripe(i));
    const std::string stream = *feedEvent(SentRecord().message(first)) + std::string(IdleFrame) + *soundEvent(12, 40);

    for (size_t piece : {size_t(1), size_t(7), stream.size()}) {
        FeedFrames frames;
        std::vector<FeedFrame> read;
        for (size_t at = 0; at < stream.size(); at += piece) {
            frames.add(std::string_view(stream).substr(at, piece));
            while (std::optional<FeedFrame> frame = frames.next())
                read.push_back(std::move(*frame));
        }
        ASSERT_EQ(read.size(), 2u) << "pieces of " << piece;
        const nlohmann::json& tiles = read[0].header["tiles"];
        ASSERT_EQ(tiles.size(), 2u);
        EXPECT_EQ(tiles[1]["g"], 4);
        EXPECT_EQ(tiles[1]["x"], 7);
        for (const nlohmann::json& tile : tiles)
            EXPECT_EQ(decodedPixels(read[0].picture(tile)), meant) << "pieces of " << piece;
        EXPECT_EQ(read[1].header["clip"], 12);
        EXPECT_THROW(read[0].picture({{"png", {read[0].pictures.size() - 2, 3}}}), std::out_of_range);
    }
}

}  // namespace
}  // namespace devhost
