// A designer's panel drawn by `devhost render` as a user calls it: the
// window's art scaled under the gauges, pure black in it transparent, the
// other modules' gauges as outlined placeholders, a virtual cockpit as its
// texture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "devhost/render/cairo_handles.h"
#include "pictures.h"
#include "tests/designer_panel.h"

namespace devhost {
namespace {

using namespace pictures;
namespace fs = std::filesystem;

SurfaceHandle rendered(const std::string& panel, const std::string& arguments, const fs::path& png)
{
    const std::string command = std::string(VARDEX_DEVHOST_PROGRAM) + " render --panel '" + panel + "' " + arguments +
                                " -o '" + png.string() + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return SurfaceHandle(cairo_image_surface_create_from_png(png.string().c_str()));
}

bool colourIs(Pixel p, uint32_t rgb)
{
    return p.r == int(rgb >> 16) && p.g == int(rgb >> 8 & 0xFF) && p.b == int(rgb & 0xFF);
}

TEST(DesignerPanelPictures, ShowTheArtItsTransparencyThePlaceholdersAndTheVirtualCockpit)
{
    const fs::path folder = fs::path(::testing::TempDir()) / "designer_render";
    const std::string panel = testing::writeDesignerPanel(folder);

    const SurfaceHandle main = rendered(panel, "--window 'Main Panel'", folder / "main.png");
    ASSERT_EQ(cairo_surface_status(main.get()), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(width(main.get()), 400);
    EXPECT_EQ(height(main.get()), 200) << "size_mm=400 over art of 200x100";
    EXPECT_TRUE(colourIs(pixelAt(main.get(), 200, 190), testing::ArtColour)) << "the art, scaled to the window";
    const Pixel behind = pixelAt(main.get(), 10, 190);
    EXPECT_FALSE(colourIs(behind, 0) || colourIs(behind, testing::ArtColour)) << "pure black shows the panel behind";
    const Pixel outline = pixelAt(main.get(), 251, 60), inside = pixelAt(main.get(), 300, 95);
    EXPECT_GT(outline.r, 200) << "the outline of fs9gps!gps_500";
    EXPECT_LT(outline.b, 100);
    EXPECT_LT(inside.r, 200) << "within it, the art shows through";

    const SurfaceHandle small = rendered(panel, "--window 0 --screen-width 800", folder / "small.png");
    EXPECT_TRUE(colourIs(pixelAt(small.get(), 200, 190), testing::SmallScreenArtColour)) << "file= on a small screen";

    const SurfaceHandle radios = rendered(panel, "--window 'radio stack'", folder / "radios.png");
    EXPECT_TRUE(colourIs(pixelAt(radios.get(), 299, 199), testing::RadioStackColour)) << "background_color";

    const SurfaceHandle cockpit = rendered(panel, "--window VC01", folder / "vc.png");
    EXPECT_EQ(width(cockpit.get()), 256) << "the texture's pixel_size";
    EXPECT_TRUE(colourIs(pixelAt(cockpit.get(), 5, 250), 0));
    EXPECT_FALSE(colourIs(pixelAt(cockpit.get(), 62, 60), 0)) << "the altimeter, scaled to the texture";
}

TEST(DesignerPanelPictures, AnAnimationTooWideForWebPIsRefusedBeforeAnythingIsDrawn)
{
    const fs::path panel = fs::path(::testing::TempDir()) / "wide.cfg";
    std::ofstream(panel) << "[Window00]\nsize_mm=17000,100\ngauge00=Vardex_Instr!Airspeed, 0, 0\n";
    const std::string command = std::string(VARDEX_DEVHOST_PROGRAM) + " render --panel '" + panel.string() +
                                "' --from 0 --to 1 -o wide.webp 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string said(4096, '\0');
    said.resize(fread(said.data(), 1, said.size(), pipe));
    EXPECT_NE(pclose(pipe), 0);
    EXPECT_NE(said.find("at most 16383 pixels a side"), std::string::npos) << said;
}

}  // namespace
}  // namespace devhost
