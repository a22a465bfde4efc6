// Panel files as a designer writes them, and the built-in default panel.
#include "devhost/core/panel_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <span>
#include <sstream>

namespace devhost {
namespace {

struct Face {
    int width, height;
};

// Every gauge of the module with the size of its root bitmap.
const std::map<std::string, Face> faces = {
    {"Shut_Down", {5, 5}},
    {"Registration", {150, 25}},
    {"Kneeboard_Toggle", {19, 19}},
    {"ATC_Toggle", {19, 19}},
    {"Map_Toggle", {12, 12}},
    {"Invisible_Toggle", {19, 19}},
    {"Close_Subpanel", {19, 19}},
    {"Radios_Toggle", {19, 19}},
    {"Landing_View_Toggle", {19, 19}},
    {"GPS_Toggle", {19, 19}},
    {"Throttle_Toggle", {19, 19}},
    {"Compass_Toggle", {19, 19}},
    {"Radio_ADF_EZ6", {600, 492}},
    {"Radio_XPDR_FUG25A6", {400, 255}},
    {"Radio_COM_SK10", {350, 360}},
    {"Radio_NAV_E10K", {350, 286}},
    {"Airspeed", {300, 330}},
    {"Artificial_Horizon", {304, 304}},
    {"Vertical_Speed", {300, 330}},
    {"Directionnal_Gyro", {300, 300}},
    {"Altimeter", {300, 330}},
    {"Turn_Coordinator", {300, 300}},
    {"Tachometer_1", {300, 300}},
    {"Tachometer_2", {300, 300}},
    {"Exhaust_Gas_Temp", {200, 200}},
    {"Engine_1_Press_Diff", {200, 200}},
    {"Engine_2_Press_Diff", {200, 200}},
    {"Fuel_Pressure_1", {200, 200}},
    {"Fuel_Pressure_2", {200, 200}},
    {"Oil_Pressure", {200, 200}},
    {"Oil_Pressure_1", {200, 200}},
    {"Oil_Pressure_2", {200, 200}},
    {"Fuel_Quantity_Main_Front", {200, 200}},
    {"Fuel_Quantity_Main_Aft", {200, 200}},
    {"Junghans_Timer", {280, 364}},
    {"ADF_Indicator", {300, 300}},
    {"Landing_Indicator", {200, 200}},
    {"Gunsight", {123, 257}},
    {"Flaps_Indicator", {200, 200}},
    {"Metric_Switch", {96, 44}},
    {"NAV_GPS_Switch", {31, 88}},
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The problem a broken panel text is refused for, with its line.
std::pair<int, std::string> refusal(std::string_view text)
{
    try {
        parsePanel(text, "test.cfg");
    } catch (const PanelError& e) {
        EXPECT_EQ(e.file(), "test.cfg");
        EXPECT_NE(std::string(e.what()).find("test.cfg:"), std::string::npos);
        return {e.line(), e.problem()};
    }
    ADD_FAILURE() << "accepted:\n" << text;
    return {};
}

const PlacedGauge* placed(const Panel& panel, std::string_view gauge, std::string_view parameter = {})
{
    for (const auto& w : panel.windows)
        for (const auto& g : w.gauges)
            if (g.gauge == gauge && g.parameter == parameter)
                return &g;
    return nullptr;
}

TEST(DefaultPanel, IsTheExampleFileWordForWord)
{
    EXPECT_EQ(defaultPanelText(), readFile(VARDEX_SOURCE_DIR "/examples/default_panel.cfg"));
}

TEST(DefaultPanel, PlacesAllFortyOneGaugesOfTheModuleWithoutAWarning)
{
    Panel panel = defaultPanel();
    EXPECT_EQ(panel.source, "<built-in>");
    EXPECT_TRUE(panel.warnings.empty()) << panel.warnings.front().line << ": " << panel.warnings.front().message;
    std::set<std::string> names;
    for (const auto& w : panel.windows) {
        for (const auto& g : w.gauges) {
            EXPECT_EQ(g.module, "Vardex_Instr");
            EXPECT_TRUE(faces.count(g.gauge)) << "not a gauge of the module: " << g.gauge;
            names.insert(g.gauge);
        }
    }
    EXPECT_EQ(names.size(), 41u);
}

TEST(DefaultPanel, KeepsEveryGaugesProportionsAndStaysInsideItsWindowWithoutOverlapping)
{
    for (const auto& w : defaultPanel().windows) {
        for (size_t i = 0; i < w.gauges.size(); ++i) {
            const PlacedGauge& g = w.gauges[i];
            ASSERT_TRUE(g.width && g.height) << g.gauge;
            const Face& face = faces.at(g.gauge);
            double placedRatio = double(*g.width) / *g.height, faceRatio = double(face.width) / face.height;
            EXPECT_NEAR(placedRatio / faceRatio, 1.0, 0.02) << g.gauge;
            EXPECT_GE(g.x, 0) << g.gauge;
            EXPECT_GE(g.y, 0) << g.gauge;
            EXPECT_LE(g.x + *g.width, w.sizeX) << g.gauge;
            EXPECT_LE(g.y + *g.height, w.sizeY) << g.gauge;
            for (const PlacedGauge& o : std::span(w.gauges).subspan(i + 1)) {
                if (!o.width || !o.height)
                    continue;  // reported in its own turn
                bool apart = g.x + *g.width <= o.x || o.x + *o.width <= g.x || g.y + *g.height <= o.y ||
                             o.y + *o.height <= g.y;
                EXPECT_TRUE(apart) << g.gauge << " overlaps " << o.gauge;
            }
        }
    }
}

TEST(DefaultPanel, TheButtonsOpenTheWindowsThatHoldTheOtherGauges)
{
    Panel panel = defaultPanel();
    std::map<int, const PanelWindowSpec*> byIdent;
    for (const auto& w : panel.windows)
        byIdent[w.ident] = &w;
    ASSERT_TRUE(byIdent.count(0) && byIdent.count(50) && byIdent.count(10));
    EXPECT_TRUE(byIdent[0]->visible);
    EXPECT_EQ(byIdent[50]->title, "Radio Stack");

    const PlacedGauge* radios = placed(panel, "Radios_Toggle", "tRADIO_STACK_PANEL hTOGGLE_RADIO_WINDOW");
    EXPECT_NE(radios, nullptr);
    EXPECT_NE(placed(panel, "Throttle_Toggle", "tTHROTTLE_PANEL hTOGGLE_THROTTLE_WINDOW"), nullptr);
    EXPECT_NE(placed(panel, "Exhaust_Gas_Temp", "2"), nullptr) << "engine 2 exhaust-gas temperature";
    EXPECT_NE(placed(panel, "Oil_Pressure", "2"), nullptr) << "engine 2 oil pressure";
    EXPECT_NE(placed(panel, "Exhaust_Gas_Temp"), nullptr) << "engine 1 exhaust-gas temperature";
}

TEST(PanelFile, ReadsWindowsTitlesAndGaugesAsTheSimulatorWritesThem)
{
    const char* text =
        "\xEF\xBB\xBF// panel for a test\r\n"
        "; a comment of the other kind\r\n"
        "\r\n"
        "[Window Titles]\r\n"
        "Window00=Main Panel\r\n"
        "window01=Radios\r\n"
        "[WINDOW00]\r\n"
        "Size_mm=1024,400\r\n"
        "position=7\r\n"
        "visible=1\r\n"
        "ident=MAIN_PANEL  // the main one\r\n"
        "gauge01=Vardex_Instr!Altimeter, 20, 30\r\n"
        "gauge00=Vardex_Instr!Airspeed,10,-5,150,165\r\n"
        "Gauge02=Vardex_Instr!Registration, 1, 2, 150, 25, tD-IABC, r255,g0\r\n"
        "gauge03=Vardex_Instr!Oil_Pressure, 1, 2, , , 2\r\n"
        "gauge04=Vardex_Instr!Gunsight, 0, 0, 60\r\n"
        "[Window01]\r\n"
        "size_mm=300,200\r\n"
        "window_pos=0.5,0.25\r\n"
        "visible=0\r\n"
        "ident=radio_stack_panel\r\n"
        "[Window02]\r\n"
        "size_mm=100,100\r\n"
        "position=4\r\n"
        "ident=1234\r\n";
    Panel panel = parsePanel(text, "panel.cfg");
    EXPECT_EQ(panel.source, "panel.cfg");
    EXPECT_TRUE(panel.warnings.empty());
    ASSERT_EQ(panel.windows.size(), 3u);

    const PanelWindowSpec& main = panel.windows[0];
    EXPECT_EQ(main.number, 0);
    EXPECT_EQ(main.title, "Main Panel");
    EXPECT_EQ(main.sizeX, 1024);
    EXPECT_EQ(main.sizeY, 400);
    EXPECT_EQ(main.posX, 0);
    EXPECT_EQ(main.posY, PanelScreenHeight - 400) << "position 7 is the bottom centre";
    EXPECT_TRUE(main.visible);
    EXPECT_EQ(main.ident, 0);
    ASSERT_EQ(main.gauges.size(), 5u);
    EXPECT_EQ(main.gauges[0].gauge, "Airspeed") << "gauges in the order of their numbers";
    EXPECT_EQ(main.gauges[0].y, -5);
    EXPECT_EQ(main.gauges[0].width, 150);
    EXPECT_EQ(main.gauges[0].height, 165);
    EXPECT_EQ(main.gauges[0].line, 13);
    EXPECT_EQ(main.gauges[1].gauge, "Altimeter");
    EXPECT_FALSE(main.gauges[1].width);
    EXPECT_FALSE(main.gauges[1].height);
    EXPECT_EQ(main.gauges[1].parameter, "");
    EXPECT_EQ(main.gauges[2].parameter, "tD-IABC, r255,g0") << "the parameter keeps its commas";
    EXPECT_EQ(main.gauges[3].parameter, "2");
    EXPECT_FALSE(main.gauges[3].width) << "an empty width field leaves the gauge's own size";
    EXPECT_EQ(main.gauges[4].width, 60);
    EXPECT_FALSE(main.gauges[4].height);

    const PanelWindowSpec& radios = panel.windows[1];
    EXPECT_EQ(radios.title, "Radios");
    EXPECT_EQ(radios.posX, 512);
    EXPECT_EQ(radios.posY, 192);
    EXPECT_FALSE(radios.visible);
    EXPECT_EQ(radios.ident, 50);

    const PanelWindowSpec& middle = panel.windows[2];
    EXPECT_EQ(middle.title, "");
    EXPECT_EQ(middle.posX, (PanelScreenWidth - 100) / 2);
    EXPECT_EQ(middle.posY, (PanelScreenHeight - 100) / 2);
    EXPECT_EQ(middle.ident, 1234);
}

TEST(PanelFile, PassesOverWhatItDoesNotUseWithWarningsThatNameTheLine)
{
    const char* text =
        "[Window Titles]\n"
        "Window00=Main\n"
        "Window05=Nowhere\n"
        "Colour=red\n"
        "[Window00]\n"
        "shadow=1\n"
        "size_mm=640,480\n"
        "size_mm=800,600\n"
        "gauge00=Vardex_Instr!Airspeed, 0, 0\n"
        "[Cockpit]\n"
        "gauge00=Vardex_Instr!Airspeed, 0, 0\n"
        "[Window01]\n";
    Panel panel = parsePanel(text, "panel.cfg");
    std::map<int, std::string> warnings;
    for (const auto& w : panel.warnings)
        warnings[w.line] += w.message;
    EXPECT_NE(warnings[3].find("Window5"), std::string::npos) << "a title without a window";
    EXPECT_NE(warnings[4].find("colour"), std::string::npos);
    EXPECT_NE(warnings[6].find("shadow"), std::string::npos);
    EXPECT_NE(warnings[8].find("size_mm"), std::string::npos);
    EXPECT_NE(warnings[10].find("Cockpit"), std::string::npos);
    EXPECT_NE(warnings[12].find("size_mm"), std::string::npos) << "a window without a size";
    EXPECT_EQ(panel.windows[0].sizeX, 800) << "the later value counts";
    EXPECT_EQ(panel.windows[0].gauges.size(), 1u) << "an unknown section's gauges are not placed";
}

TEST(PanelFile, RefusesAGaugeWithoutModuleAndGaugeName)
{
    auto [line, problem] = refusal("[Window00]\nsize_mm=100,100\ngauge00=Airspeed, 0, 0\n");
    EXPECT_EQ(line, 3);
    EXPECT_NE(problem.find("'!'"), std::string::npos) << problem;
    EXPECT_EQ(refusal("[Window00]\ngauge00=!Airspeed, 0, 0\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\ngauge00=Vardex_Instr!, 0, 0\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\ngauge00=\n").first, 2);
}

TEST(PanelFile, RefusesCoordinatesThatAreNotWholeNumbers)
{
    auto [line, problem] = refusal("[Window00]\n\ngauge00=Vardex_Instr!Airspeed, ten, 0\n");
    EXPECT_EQ(line, 3);
    EXPECT_NE(problem.find("x 'ten'"), std::string::npos) << problem;
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 1, 2.5\n").second.find("y '2.5'"), std::string::npos);
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 1\n").second.find("x and y"), std::string::npos);
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 1, 2, 0, 10\n").second.find("width '0'"), std::string::npos);
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 1, 2, 10, -3\n").second.find("height '-3'"), std::string::npos);
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 1, 2, t2\n").second.find("width 't2'"), std::string::npos)
        << "a parameter needs the width and the height before it";
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 99999999999, 2\n").second.find("x '"), std::string::npos);
    EXPECT_NE(refusal("[Window00]\ngauge00=M!G, 2147483647, 2\n").second.find("out of range: expected -100000 to 100000"),
              std::string::npos);
}

TEST(PanelFile, RefusesAtTheirLineSizesThatCannotBeDrawn)
{
    auto [line, problem] = refusal("[Window00]\nsize_mm=100000,100000\n");
    EXPECT_EQ(line, 2);
    EXPECT_NE(problem.find("expected 1 to 32767"), std::string::npos) << problem;
    EXPECT_EQ(refusal("[Window00]\nsize_mm=100,100\ngauge00=M!G, 0, 0, 40000, 10\n").first, 3);
}

TEST(PanelFile, QuotesAnOverlongBadLineOnlyInPart)
{
    const std::string line(10'000'000, 'x');
    EXPECT_LT(refusal("[Window00]\n" + line + "\n").second.size(), 200u);
}

TEST(PanelFile, QuotesControlBytesEscaped)
{
    using namespace std::string_view_literals;
    const std::string problem = refusal("[Window00]\nx\x1b[2J\0y\n"sv).second;
    EXPECT_NE(problem.find("'x\\x1b[2J\\0y'"), std::string::npos) << problem;
}

TEST(PanelFile, ReadsLinesEndedByLfCrLfOrCrAlike)
{
    const std::string text = "; comment\n[Window00]\nsize_mm=100,100\ngauge00=M!A, 0, 0\n\ngauge01=M!B, 1, 1\n";
    auto lines = [](const Panel& panel) {
        std::vector<std::pair<std::string, int>> out;
        for (const PlacedGauge& g : panel.windows.at(0).gauges)
            out.emplace_back(g.gauge, g.line);
        return out;
    };
    const auto expected = lines(parsePanel(text, "lf.cfg"));
    ASSERT_EQ(expected.size(), 2u);
    for (std::string_view ending : {"\r\n", "\r"}) {
        std::string other;
        for (char c : text)
            other += c == '\n' ? std::string(ending) : std::string(1, c);
        EXPECT_EQ(lines(parsePanel(other, "other.cfg")), expected) << other.size();
    }
}

TEST(PanelFile, RefusesAGaugeLineOutsideAWindowSection)
{
    EXPECT_EQ(refusal("// nothing yet\ngauge00=Vardex_Instr!Airspeed, 0, 0\n"),
              (std::pair<int, std::string>{2, "gauge line outside a window section"}));
    EXPECT_EQ(refusal("[Window Titles]\ngauge00=Vardex_Instr!Airspeed, 0, 0\n").first, 2);
}

TEST(PanelFile, RefusesAWindowOrAGaugeGivenTwice)
{
    auto [line, problem] = refusal("[Window01]\nsize_mm=1,1\n[window01]\n");
    EXPECT_EQ(line, 3);
    EXPECT_NE(problem.find("duplicate window"), std::string::npos);
    EXPECT_NE(problem.find("line 1"), std::string::npos) << problem;
    EXPECT_EQ(refusal("[Window00]\ngauge03=M!A, 0, 0\ngauge3=M!B, 0, 0\n").first, 3);
    EXPECT_EQ(refusal("[Window Titles]\nWindow00=A\nWindow00=B\n").first, 3);
}

TEST(PanelFile, RefusesMalformedWindowSettings)
{
    EXPECT_EQ(refusal("[Window00]\nsize_mm=100\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\nsize_mm=100,0\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\nposition=9\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\nwindow_pos=0.5,1.5\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\nwindow_pos=0.5\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\nvisible=yes\n").first, 2);
    EXPECT_NE(refusal("[Window00]\nident=SIDE_PANEL\n").second.find("SIDE_PANEL"), std::string::npos);
}

TEST(PanelFile, ReadsTheLightingColoursAndRefusesAColourThatIsNotThreeChannels)
{
    Panel panel = parsePanel("[Color]\nDay=250, 245,240\nnight=40,30,20\nLuminous=255,200,150\nDusk=1,2,3\n",
                             "panel.cfg");
    EXPECT_EQ(panel.colours.day, (PanelColour{250, 245, 240}));
    EXPECT_EQ(panel.colours.night, (PanelColour{40, 30, 20}));
    EXPECT_EQ(panel.colours.luminous, (PanelColour{255, 200, 150}));
    ASSERT_EQ(panel.warnings.size(), 1u);
    EXPECT_EQ(panel.warnings[0].line, 5);
    EXPECT_EQ(parsePanel("[Window00]\n", "panel.cfg").colours, PanelColours{}) << "the defaults without [Color]";

    auto [line, problem] = refusal("[Color]\nday=255,255,255\nnight=40,30\n");
    EXPECT_EQ(line, 3);
    EXPECT_NE(problem.find("'40,30'"), std::string::npos) << problem;
    EXPECT_NE(problem.find("0 to 255"), std::string::npos) << problem;
    EXPECT_EQ(refusal("[Color]\nday=255,256,0\n").first, 2);
    EXPECT_EQ(refusal("[Color]\nday=1,2,3,4\n").first, 2);
    EXPECT_EQ(refusal("[Color]\nday=-1,2,3\n").first, 2);
    EXPECT_EQ(refusal("[Color]\nday=white\n").first, 2);
}

TEST(PanelFile, RefusesLinesThatAreNotPartOfTheSyntax)
{
    EXPECT_EQ(refusal("[Window00\n").first, 1);
    EXPECT_EQ(refusal("\n[]\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\nsize_mm 100,100\n").first, 2);
    EXPECT_EQ(refusal("[Window00]\n=5\n").first, 2);
}

TEST(PanelFile, UnreadableFileIsRefusedWithItsName)
{
    try {
        loadPanel("/nonexistent/panel.cfg");
        FAIL() << "an unreadable file was accepted";
    } catch (const PanelError& e) {
        EXPECT_EQ(e.file(), "/nonexistent/panel.cfg");
        EXPECT_EQ(e.line(), 0);
        EXPECT_EQ(std::string(e.what()), "/nonexistent/panel.cfg: cannot be read");
    }
}

TEST(PanelFile, AFolderOrAFileThatPlacesNoGaugeIsRefusedAndAnEmptyFileIsAnEmptyPanel)
{
    EXPECT_THROW(loadPanel(VARDEX_SOURCE_DIR), PanelError);
    const std::string path = ::testing::TempDir() + "/no_gauges.cfg";
    for (const char* text : {"; nothing placed yet\n", "[Window00]\nsize_mm=10,10\n"}) {
        std::ofstream(path, std::ios::binary) << text;
        try {
            loadPanel(path);
            ADD_FAILURE() << text;
        } catch (const PanelError& error) {
            EXPECT_NE(std::string(error.what()).find("--edit opens it"), std::string::npos) << error.what();
        }
    }
    std::ofstream(path, std::ios::binary) << "\n";
    EXPECT_TRUE(loadPanel(path).windows.empty());
    std::remove(path.c_str());
}

TEST(PanelFile, LoadsTheExampleFromDisk)
{
    std::string path = VARDEX_SOURCE_DIR "/examples/default_panel.cfg";
    Panel panel = loadPanel(path);
    EXPECT_EQ(panel.source, path);
    EXPECT_EQ(panel.windows.size(), defaultPanel().windows.size());
}

TEST(PanelWindowNames, MapToTheHostsIdentifiers)
{
    EXPECT_EQ(panelWindowIdent("MAIN_PANEL"), 0);
    EXPECT_EQ(panelWindowIdent("Radio_Stack_Panel"), 50);
    EXPECT_EQ(panelWindowIdent("GPS_PANEL"), 225);
    EXPECT_EQ(panelWindowIdent("OVERHEAD_PANEL"), 250);
    EXPECT_EQ(panelWindowIdent("GPS"), std::nullopt);
}

}  // namespace
}  // namespace devhost
