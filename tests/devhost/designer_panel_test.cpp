// A designer's own panel file, read as the simulator reads it, and the
// demo flight on a panel that lacks most of the gauges it clicks.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"
#include "tests/designer_panel.h"

namespace devhost {
namespace {

namespace fs = std::filesystem;
using testing::bmpFile;
using testing::writeFile;

fs::path folderFor(const std::string& test)
{
    return fs::path(::testing::TempDir()) / ("designer_" + test);
}

TEST(DesignerPanel, IsReadWithoutAWarningWithItsArtTitlesAndVirtualCockpit)
{
    const std::string path = testing::writeDesignerPanel(folderFor("read"));
    const Panel panel = loadPanel(path);
    for (const PanelWarning& warning : panel.warnings)
        ADD_FAILURE() << warning.line << ": " << warning.message;

    const PanelWindowSpec* main = findWindow(panel, "main panel");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->number, 0);
    EXPECT_EQ(main->sizeY, 200) << "size_mm=400 with art of 200x100";
    ASSERT_TRUE(main->background);
    EXPECT_EQ(fs::path(main->background->path).filename(), "Panel_1024.BMP") << "file_1024, found whatever the case";
    EXPECT_EQ(main->gauges.size(), 4u);
    EXPECT_EQ(main->gauges[0].height, 110) << "tabs around the fields, a trailing comment";
    EXPECT_EQ(panel.windows.back().number, 0) << "zorder=1: drawn over the others";

    EXPECT_EQ(findWindow(panel, "Radio Stack")->backgroundColour, (PanelColour{30, 90, 30}));
    const PanelWindowSpec* cockpit = findWindow(panel, "VC01");
    ASSERT_TRUE(cockpit);
    EXPECT_EQ(cockpit, findWindow(panel, "vcockpit01"));
    EXPECT_EQ(cockpit->number, VirtualCockpitNumbers + 1);
    EXPECT_EQ(cockpit->sizeX, 256) << "drawn as its texture";
    EXPECT_DOUBLE_EQ(cockpit->gaugeScaleX, 0.25);
    EXPECT_EQ(findWindow(panel, "7"), nullptr);

    const Panel small = loadPanel(path, {.screenWidth = 800});
    EXPECT_EQ(fs::path(findWindow(small, "0")->background->path).filename(), "panel_background.bmp")
        << "below 1024 pixels, file= (an 8-bit bitmap)";
}

TEST(DesignerPanel, PlacesOtherModulesGaugesAsPlaceholdersAndScalesTheVirtualCockpit)
{
    Host host(moduleUnderTest());
    host.placePanel(loadPanel(testing::writeDesignerPanel(folderFor("place"))));
    ASSERT_EQ(host.foreignGauges().size(), 3u);
    const Box& box = host.foreignGauges()[1].box;
    EXPECT_EQ((std::array{box.x, box.y, box.width, box.height}), (std::array{250, 120, ForeignGaugeSize, ForeignGaugeSize}));
    EXPECT_FALSE(host.foreignGauges()[1].sizeGiven);
    const GaugeInstance& altimeter = *host.find("Altimeter");
    EXPECT_EQ((std::array{altimeter.position().x, altimeter.position().y, altimeter.size().x, altimeter.size().y}),
              (std::array{25, 25, 75, 83}));
}

TEST(DesignerPanel, BadArtAndSizesAreRefusedAtTheirLine)
{
    const fs::path folder = folderFor("bad");
    fs::create_directories(folder);
    writeFile(folder / "text.bmp", {'h', 'e', 'l', 'l', 'o'});
    auto cut = bmpFile(20, 10, 24, [](int, int) { return 0x808080u; });
    cut.resize(cut.size() - 7);
    writeFile(folder / "cut.bmp", cut);
    const struct {
        std::string text, says;
        int line;
    } cases[] = {
        {"[Window00]\nfile=nowhere.bmp\nsize_mm=400\n", "'nowhere.bmp' not found beside the panel file", 2},
        {"[Window00]\nfile=text.bmp\n", "is not a BMP file", 2},
        {"[Window00]\nfile=cut.bmp\n", "is cut short", 2},
        {"[Window00]\n\nsize_mm=400\n", "gives only the width", 3},
        {"[Window00]\nsize_mm=0,100\n", "size_mm width '0' is out of range", 2},
        {"[Window00]\nsize_mm=-5\n", "size_mm width '-5' is out of range", 2},
        {"[Window00]\nsize_mm=100,100\ngauge00=M!G, 0, 0, 10, 999999\n", "height '999999' is out of range", 3},
        {std::string("\xFF\xFE[\0W\0", 6), "is saved as UTF-16", 0},
    };
    for (const auto& c : cases) {
        const fs::path file = folder / "panel.cfg";
        std::ofstream(file, std::ios::binary) << c.text;
        try {
            loadPanel(file.string());
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const PanelError& error) {
            EXPECT_EQ(error.line(), c.line) << error.what();
            EXPECT_NE(error.problem().find(c.says), std::string::npos) << error.what();
        }
    }
    const Panel far = parsePanel("[Window1000]\nsize_mm=10,10\n", "panel.cfg");
    ASSERT_EQ(far.warnings.size(), 1u);
    EXPECT_NE(far.warnings[0].message.find("window numbers go from 0 to 999"), std::string::npos);
}

TEST(DesignerPanel, ThePixelsAPanelAsksForAreBoundedBeforeAnythingIsDrawn)
{
    Host host(moduleUnderTest());
    try {
        host.placePanel(parsePanel("[Window00]\nsize_mm=400,300\ngauge00=Vardex_Instr!Airspeed, 0, 0, 20000, 20000\n", "h"));
        FAIL() << "a gauge of 20000x20000 pixels was placed";
    } catch (const PanelError& error) {
        EXPECT_EQ(error.line(), 3) << error.what();
    }
}

TEST(DesignerPanel, TheDemoFlightPassesOverTheGaugesThePanelLacksWithOneNoteEach)
{
    const Panel three = parsePanel("[Window00]\nsize_mm=800,400\n"
                                   "gauge00=Vardex_Instr!Radio_COM_SK10, 0, 0\n"
                                   "gauge01=Vardex_Instr!Airspeed, 400, 0\n"
                                   "gauge02=Vardex_Instr!Altimeter, 600, 0\n",
                                   "three.cfg");
    Host host(moduleUnderTest());
    host.placePanel(three);
    const Flight demo = demoFlight();
    FlightRunner runner(host, demo);
    runner.run(runner.framesFor(demo.duration));
    size_t adfNotes = 0;
    for (const FlightLogEntry& entry : runner.log())
        adfNotes += entry.what.find("no gauge \"Radio_ADF_EZ6\"") != std::string::npos;
    EXPECT_EQ(adfNotes, 1u);
}

}  // namespace
}  // namespace devhost
