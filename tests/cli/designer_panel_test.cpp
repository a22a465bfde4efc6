// `devhost run` on a designer's own panel file: no warnings for what the
// simulator honours, each other module's gauge told once, the windows with
// the virtual cockpit listed, and a user's flight that clicks a gauge the
// panel lacks refused unless --lenient.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "devhost_run.h"
#include "tests/designer_panel.h"

namespace devhost {
namespace {

using namespace devhost::testing;

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(DesignerPanelRun, RunsTheDemoFlightTellingEachPlaceholderOnceAndTheWindows)
{
    writeDesignerPanel(scratchFolder() + "/designer");
    const Outcome run = devhost("run --panel designer/panel.cfg --seconds 60");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count(run.err, "fs9gps!gps_500 belongs to another module; drawn as a placeholder"), 1u) << run.err;
    EXPECT_EQ(count(run.err, "SomeModule!Fuel_Gauge belongs to another module; drawn as a placeholder at 100x100"), 1u)
        << run.err;
    EXPECT_EQ(count(run.err, "ignored"), 0u) << run.err;
    EXPECT_NE(run.out.find("VC01 \"VC01 $VC01\" 256x256 (virtual cockpit)"), std::string::npos) << run.out;

    writeScratch("gunsight.json", R"({"duration": 2, "actions": [{"at": 1, "click": "Gunsight", "x": 5, "y": 5}]})");
    const Outcome strict = devhost("run --panel designer/panel.cfg --flight gunsight.json");
    EXPECT_EQ(strict.status, 1);
    EXPECT_NE(strict.err.find("gunsight.json:1: no gauge \"Gunsight\" on the panel"), std::string::npos) << strict.err;
    EXPECT_NE(strict.err.find("--lenient"), std::string::npos) << strict.err;
    EXPECT_EQ(devhost("run --panel designer/panel.cfg --flight gunsight.json --lenient").status, 0);
}

TEST(DesignerPanelReference, DrawsThePanelWindowByWindowWithThePlaceholdersNamed)
{
    writeDesignerPanel(scratchFolder() + "/designer");
    const Outcome reference = devhost("reference --panel designer/panel.cfg -o designer-reference");
    ASSERT_EQ(reference.status, 0) << reference.err;
    const std::string folder = scratchFolder() + "/designer-reference/";
    std::ifstream in(folder + "panel.html", std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(page.find("<code>fs9gps!gps_500</code> at 250,20: another module's gauge, drawn as a placeholder"),
              std::string::npos) << page;
    EXPECT_NE(page.find("<a href=\"Airspeed.html\">"), std::string::npos) << page;
    EXPECT_TRUE(std::filesystem::exists(folder + "pictures/panel-window-1001.png"));
}

}  // namespace
}  // namespace devhost
