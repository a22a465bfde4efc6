// `devhost serve` on a designer's panel file: the page gets the windows by
// their titles (the virtual cockpit among them, to be opened) and each
// window's backing with its art.
#include <gtest/gtest.h>

#include <cairo.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "devhost/serve/live_panel.h"
#include "tests/designer_panel.h"
#include "tests/serve/feed_pictures.h"

namespace devhost {
namespace {

TEST(DesignerPanelServed, ListsTheWindowsByTitleAndSendsTheirArt)
{
    const std::string path = testing::writeDesignerPanel(std::filesystem::path(::testing::TempDir()) / "designer_serve");
    LivePanel panel(ServeOptions{.module = moduleUnderTest(), .panel = path});
    const nlohmann::json described = panel.describe();
    std::map<std::string, int> numbers;
    for (const nlohmann::json& w : described["windows"])
        numbers[w["title"]] = w["number"];
    EXPECT_EQ(numbers["Main Panel"], 0);
    EXPECT_EQ(numbers["Radio Stack"], 1);
    EXPECT_EQ(numbers["VC01 $VC01"], VirtualCockpitNumbers + 1);
    EXPECT_NO_THROW(panel.showWindow({{"window", VirtualCockpitNumbers + 1}, {"action", "open"}}));

    FeedFrames frames;
    frames.add(*panel.wholeState());
    const std::optional<FeedFrame> whole = frames.next();
    ASSERT_TRUE(whole);
    const SurfaceHandle backing = testing::decodedPng(whole->picture(whole->header["backings"]["0"]));
    ASSERT_EQ(cairo_surface_status(backing.get()), CAIRO_STATUS_SUCCESS);
    const auto* pixels = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(backing.get()));
    const int stride = cairo_image_surface_get_stride(backing.get()) / 4;
    EXPECT_EQ(pixels[190 * stride + 200] & 0xFFFFFF, testing::ArtColour);
}

}  // namespace
}  // namespace devhost
