// Animations as a user makes them with the devhost program: one picture per
// step of the stretch asked for, each the picture `render --at` draws at
// that moment of the same flight.
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "devhost/render/animation.h"
#include "devhost/render/cairo_handles.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

int devhostRender(const std::string& arguments)
{
    return std::system((std::string(VARDEX_DEVHOST_PROGRAM) + " render " + arguments).c_str());
}

struct DecodedAnimation {
    int width = 0, height = 0;
    std::vector<std::vector<uint8_t>> frames;   // RGBA, row by row
    std::vector<int> timestamps;                // milliseconds at each frame's end
};

DecodedAnimation decodeWebP(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    DecodedAnimation animation;
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info)) {
        WebPAnimDecoderDelete(decoder);
        return animation;
    }
    animation.width = int(info.canvas_width), animation.height = int(info.canvas_height);
    uint8_t* pixels = nullptr;
    int timestamp = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder) && WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) {
        animation.frames.emplace_back(pixels, pixels + size_t(animation.width) * animation.height * 4);
        animation.timestamps.push_back(timestamp);
    }
    WebPAnimDecoderDelete(decoder);
    return animation;
}

TEST(Animation, HoldsAPicturePerStepEachTheOneRenderAtThatMomentDraws)
{
    const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "animation_test";
    std::filesystem::create_directories(folder);
    const auto animation = folder / "climb.webp", still = folder / "climb_at_195.png";
    // The main panel at night in the demo flight's climb: the clock's second
    // hand alone makes every picture differ from the one before (WebP shows
    // an unchanged picture by lengthening the one before).
    ASSERT_EQ(devhostRender("--night --from 190 --to 200 --every 2.5 --speed 5 -o " + animation.string()), 0);
    ASSERT_EQ(devhostRender("--night --at 195 -o " + still.string()), 0);

    const DecodedAnimation decoded = decodeWebP(animation);
    ASSERT_EQ(decoded.frames.size(), 5u) << "190, 192.5, 195, 197.5 and 200 s";
    EXPECT_EQ(decoded.timestamps.back(), 2500) << "5 pictures of 0.5 s each";

    SurfaceHandle expected(cairo_image_surface_create_from_png(still.c_str()));
    ASSERT_EQ(width(expected.get()), decoded.width);
    ASSERT_EQ(height(expected.get()), decoded.height);
    const std::vector<uint8_t>& frame = decoded.frames[2];
    int differing = 0;
    for (int y = 0; y < decoded.height; ++y)
        for (int x = 0; x < decoded.width; ++x) {
            const Pixel p = pixelAt(expected.get(), x, y);
            const uint8_t* q = &frame[(size_t(y) * decoded.width + x) * 4];
            differing += p.r != q[0] || p.g != q[1] || p.b != q[2] || q[3] != 255;
        }
    EXPECT_EQ(differing, 0) << "the lossless picture at 195 s differs from render --at 195";
}

// A frame covers only what changed since the picture before, over it: each
// picture must still decode exactly, whether what changed is opaque (laid
// over the canvas), partly or wholly transparent (replacing it), on an odd
// pixel (a frame begins on even ones) or nowhere (the picture before shown
// longer).
TEST(Animation, EachPictureDecodesExactlyWhateverChangedSinceTheOneBefore)
{
    constexpr int Width = 9, Height = 7;
    constexpr uint32_t Ground = 0xFF336699, HalfClear = 0x80402010;   // premultiplied
    struct Change {
        int x, y;
        uint32_t pixel;
    };
    const std::vector<std::vector<Change>> pictures = {
        {{1, 1, HalfClear}},
        {{3, 3, 0xFFFF0000}},
        {},
        {{1, 1, 0x40404040}, {8, 6, 0xFF00FF00}},
        {{1, 1, 0}, {5, 0, 0xFF000000}},
    };
    const auto path = std::filesystem::path(testing::TempDir()) / "changes.webp";
    std::vector<std::vector<uint32_t>> expected;
    {
        std::unique_ptr<AnimationSink> webp = openAnimation(path, 0.1);
        SurfaceHandle picture = newImage(Width, Height);
        auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture.get()));
        std::fill(pixels, pixels + Width * Height, Ground);
        for (const std::vector<Change>& changes : pictures) {
            for (const Change& change : changes)
                pixels[change.y * Width + change.x] = change.pixel;
            cairo_surface_mark_dirty(picture.get());
            expected.emplace_back(pixels, pixels + Width * Height);
            webp->add(picture.get());
        }
        webp->finish();
    }
    const DecodedAnimation decoded = decodeWebP(path);
    ASSERT_EQ(decoded.frames.size(), 4u) << "the unchanged third picture lengthens the second";
    EXPECT_EQ(decoded.timestamps, (std::vector<int>{100, 300, 400, 500}));
    for (size_t frame = 0; frame < decoded.frames.size(); ++frame) {
        const std::vector<uint32_t>& picture = expected[frame < 2 ? frame : frame + 1];
        for (int i = 0; i < Width * Height; ++i) {
            const uint32_t straight = straightArgb(picture[size_t(i)]);
            const uint8_t* rgba = &decoded.frames[frame][size_t(i) * 4];
            EXPECT_EQ(uint32_t(rgba[3]) << 24 | uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2], straight)
                << "frame " << frame << ", pixel " << i % Width << "," << i / Width;
        }
    }
}

// A frame lasts at most 2^24 - 1 ms: pictures all alike held longer go on
// showing through frames of their own.
TEST(Animation, APictureHeldLongerThanAFrameLastsGoesOnShowing)
{
    const auto path = std::filesystem::path(testing::TempDir()) / "held.webp";
    SurfaceHandle picture = newImage(4, 4);
    cairo_t* paint = cairo_create(picture.get());
    cairo_set_source_rgb(paint, 0, 0.5, 1);
    cairo_paint(paint);
    cairo_destroy(paint);
    {
        std::unique_ptr<AnimationSink> webp = openAnimation(path, 10000);
        for (int i = 0; i < 3; ++i)
            webp->add(picture.get());
        webp->finish();
    }
    const DecodedAnimation decoded = decodeWebP(path);
    EXPECT_EQ(decoded.timestamps, (std::vector<int>{10000000, 20000000, 30000000}));
    for (const std::vector<uint8_t>& frame : decoded.frames)
        EXPECT_EQ((std::vector<uint8_t>(frame.end() - 4, frame.end())), (std::vector<uint8_t>{0, 128, 255, 255}));
}

// The files are written while the next pictures are drawn over the same
// surface: each must hold the picture as it was when handed in.
TEST(Animation, AFolderGetsAFileForEachPictureAsItWasWhenHandedIn)
{
    const auto folder = std::filesystem::path(testing::TempDir()) / "png_sequence";
    std::filesystem::remove_all(folder);
    constexpr int Pictures = 12;   // more than the threads writing them
    SurfaceHandle picture = newImage(3, 2);
    {
        std::unique_ptr<AnimationSink> files = openAnimation(folder.string() + "/", 1.0);
        for (int i = 0; i < Pictures; ++i) {
            auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture.get()));
            std::fill(pixels, pixels + 6, 0xFF000000u | uint32_t(i) * 0x10203u);
            cairo_surface_mark_dirty(picture.get());
            files->add(picture.get());
        }
        files->finish();
    }
    for (int i = 0; i < Pictures; ++i) {
        SurfaceHandle read(cairo_image_surface_create_from_png((folder / fmt::format("frame_{:04}.png", i)).c_str()));
        const Pixel p = pixelAt(read.get(), 2, 1);
        EXPECT_EQ((std::vector<int>{p.r, p.g, p.b, p.a}), (std::vector<int>{i, 2 * i, 3 * i, 255})) << "picture " << i;
    }
}

TEST(Animation, RefusesTimesOutsideTheFlightAndStepsThatMakeNoSense)
{
    constexpr double Flight = 300;
    EXPECT_EQ(animationTimes(0, 1, 0.5, Flight), (std::vector<double>{0, 0.5, 1}));
    EXPECT_EQ(animationTimes(0, 0.9, 0.3, Flight).size(), 4u) << "a step's rounding does not lose the last picture";
    auto refusal = [&](double from, double to, double every) {
        try {
            animationTimes(from, to, every, Flight);
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_NE(refusal(-1, 10, 1).find("--from -1"), std::string::npos);
    EXPECT_NE(refusal(0, 301, 1).find("lasts 300 s"), std::string::npos);
    EXPECT_NE(refusal(20, 10, 1).find("after --to 10"), std::string::npos);
    EXPECT_NE(refusal(0, 10, 0).find("more than 0"), std::string::npos);
    EXPECT_NE(refusal(0, 10, -1).find("--every -1"), std::string::npos);
    EXPECT_NE(refusal(0, 300, 0.001).find("at most"), std::string::npos);
}

}  // namespace
}  // namespace devhost
