// Golden pictures: gauges of the panel in fixed states, drawn small (120
// pixels wide), every gauge at night (night_*), and panel windows at night,
// drawn at half size, compared with the pictures committed beside this file.
// A picture may differ from its golden by a few pixels (Cairo's and
// FreeType's versions round edges differently), not by a moved needle.
//
// After a deliberate change of the artwork or the renderer, rewrite them:
//     VARDEX_UPDATE_GOLDENS=1 build/tests/render_tests --gtest_filter='Golden*'
// and look at every changed PNG before committing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/variables.h"
#include "devhost/flight/flight.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/panel_renderer.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

constexpr int GoldenWidth = 120;
// Of 255, per colour channel and alpha. Bitmaps are prepared as Cairo's good
// filter scales them, which drew the day goldens: those match to 2 levels
// (a clock's edge to 9). The night goldens were drawn when bitmaps were
// halved and finished bilinearly, 18 levels off at worst; at 6 they fit
// with room to spare, while that halving, were it back, would fail the
// ADF's day goldens with twice the pixels allowed.
constexpr int ChannelTolerance = 6;
constexpr double DifferingShareAllowed = 0.005;
constexpr int DifferingPixelsAlways = 8;

// A left click on a gauge, in its own pixels; the gauge is placed beside
// the one drawn when it is another.
struct Click {
    const char* gauge;
    Point at;
};

struct GoldenCase {
    const char* name;
    const char* gauge;
    const char* parameter;
    std::vector<std::pair<const char*, double>> values;  // host variables by name
    int frames = 3;
    std::vector<Click> clicks = {};                      // before the frames
};

void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.name; }

const std::filesystem::path goldenFolder = std::filesystem::path(VARDEX_SOURCE_DIR) / "tests/render/golden";

bool updating()
{
    const char* update = std::getenv("VARDEX_UPDATE_GOLDENS");
    return update && std::string(update) == "1";
}

struct Comparison {
    int differing = 0;
    int worst = 0;
};

Comparison compare(cairo_surface_t* actual, cairo_surface_t* golden)
{
    Comparison c;
    for (int y = 0; y < height(actual); ++y)
        for (int x = 0; x < width(actual); ++x) {
            Pixel a = pixelAt(actual, x, y), g = pixelAt(golden, x, y);
            int d = std::max({std::abs(a.r - g.r), std::abs(a.g - g.g), std::abs(a.b - g.b), std::abs(a.a - g.a)});
            c.worst = std::max(c.worst, d);
            c.differing += d > ChannelTolerance;
        }
    return c;
}

// Compares a picture with the golden of that name (or rewrites the golden).
void expectLooksAsGolden(cairo_surface_t* picture, const std::string& name)
{
    const std::filesystem::path golden = goldenFolder / (name + ".png");
    if (updating()) {
        writePng(picture, golden, PngCompression::Small);  // kept in the repository
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden))
        << golden << " is missing: run the tests with VARDEX_UPDATE_GOLDENS=1 to draw it, and look at it";
    SurfaceHandle expected(cairo_image_surface_create_from_png(golden.c_str()));
    ASSERT_EQ(cairo_surface_status(expected.get()), CAIRO_STATUS_SUCCESS) << golden;
    ASSERT_EQ(width(expected.get()), width(picture));
    ASSERT_EQ(height(expected.get()), height(picture));

    const Comparison result = compare(picture, expected.get());
    const int allowed = std::max(DifferingPixelsAlways, int(DifferingShareAllowed * width(picture) * height(picture)));
    if (result.differing > allowed) {
        std::filesystem::create_directories(VARDEX_RENDER_FAILURES);
        const auto drawn = std::filesystem::path(VARDEX_RENDER_FAILURES) / (name + ".png");
        writePng(picture, drawn);
        ADD_FAILURE() << result.differing << " pixels differ from " << golden << " (at most " << allowed
                      << " may; the worst by " << result.worst << "); drawn now: " << drawn;
    }
}

class Golden : public testing::TestWithParam<GoldenCase> {};

std::string testName(const testing::TestParamInfo<GoldenCase>& info)
{
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return name;
}

// Draws the gauge of the case in its state, by day or at night.
void expectCaseLooksAsGolden(const GoldenCase& c, bool night = false)
{
    Host host(moduleUnderTest());
    GaugeInstance& gauge = host.place(c.gauge, c.parameter);
    for (const auto& [name, value] : c.values) {
        const VariableInfo* variable = findVariable(name);
        ASSERT_NE(variable, nullptr) << name;
        ASSERT_TRUE(host.variables().set(variable->id, value)) << name;
    }
    for (const Click& click : c.clicks) {
        GaugeInstance* clicked = host.find(click.gauge);
        ASSERT_TRUE(host.clickGaugePixel(clicked ? *clicked : host.place(click.gauge), click.at).hit);
    }
    host.frame(c.frames);

    BitmapImages images(host.bitmaps());
    const double scale = double(GoldenWidth) / gauge.gaugePixels().x;
    const Lighting nightLight{.colours = defaultPanel().colours, .level = Lighting::NightLevel};
    SurfaceHandle picture = renderGauge(gauge, images, {scale, scale}, {}, night ? nightLight : Lighting{});
    EXPECT_TRUE(images.missing().empty()) << "the gauge names bitmaps the module lacks";

    expectLooksAsGolden(picture.get(), c.name);
}

TEST_P(Golden, GaugeLooksAsItsGolden) { expectCaseLooksAsGolden(GetParam()); }

// The main panel and the radio stack at night on the demo flight's climb,
// with the radios on: lamps and luminous scales lit, the rest dimmed.
TEST(GoldenAtNight, PanelWindowsLookAsTheirGoldens)
{
    constexpr double ClimbWithRadiosOn = 200;
    constexpr double HalfSize = 0.5;
    Host host(moduleUnderTest());
    const Panel panel = defaultPanel();
    host.placePanel(panel);
    FlightRunner runner(host, demoFlight());
    runner.runFor(ClimbWithRadiosOn);
    PanelRenderer renderer(host);
    renderer.setLighting({.colours = panel.colours, .level = Lighting::NightLevel});
    for (const auto& [window, name] : {std::pair{0, "main_panel_night"}, {1, "radio_stack_night"}}) {
        const PanelWindowSpec& spec = panel.windows[window];
        cairo_surface_t* full = renderer.render(window, {spec.sizeX, spec.sizeY});
        SurfaceHandle half = newImage(int(spec.sizeX * HalfSize), int(spec.sizeY * HalfSize));
        ContextHandle cr = newContext(half.get());
        cairo_scale(cr.get(), HalfSize, HalfSize);
        cairo_set_source_surface(cr.get(), full, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
        cairo_paint(cr.get());
        expectLooksAsGolden(half.get(), name);
    }
    EXPECT_TRUE(renderer.images().missing().empty());
}

// The engine, fuel and flaps instruments at values of a cruise.
INSTANTIATE_TEST_SUITE_P(
    EngineFuelAndFlaps, Golden,
    testing::Values(GoldenCase{"tachometer_1_8008rpm", "Tachometer_1", "", {{"rpm_1", 88}}},
                    GoldenCase{"tachometer_2_3640rpm", "Tachometer_2", "", {{"rpm_2", 40}}},
                    GoldenCase{"exhaust_gas_temp_1500R", "Exhaust_Gas_Temp", "", {{"egt_1", 1500}}},
                    GoldenCase{"exhaust_gas_temp_engine2_1100R", "Exhaust_Gas_Temp", "2", {{"egt_2", 1100}}},
                    GoldenCase{"oil_pressure_engine2_8000", "Oil_Pressure", "2", {{"oil_pressure_2", 8000}}},
                    GoldenCase{"oil_pressure_1_8000", "Oil_Pressure_1", "", {{"oil_pressure_1", 8000}}},
                    GoldenCase{"oil_pressure_2_4000", "Oil_Pressure_2", "", {{"oil_pressure_2", 4000}}},
                    GoldenCase{"engine_1_press_diff_1.8", "Engine_1_Press_Diff", "", {{"press_ratio_1", 1.8}}},
                    GoldenCase{"engine_2_press_diff_3.14", "Engine_2_Press_Diff", "", {{"press_ratio_2", 3.14}}},
                    GoldenCase{"fuel_pressure_1_4000", "Fuel_Pressure_1", "", {{"fuel_pressure_1", 4000}}},
                    GoldenCase{"fuel_pressure_2_20000", "Fuel_Pressure_2", "", {{"fuel_pressure_2", 20000}}},
                    GoldenCase{"fuel_quantity_main_front_three_quarters", "Fuel_Quantity_Main_Front", "",
                               {{"fuel_front_level", 6291456}}},
                    GoldenCase{"fuel_quantity_main_aft_half", "Fuel_Quantity_Main_Aft", "",
                               {{"fuel_aft_level", 4194304}}},
                    GoldenCase{"flaps_indicator_8000_settled", "Flaps_Indicator", "", {{"flaps", 8000}}, 300}),
    testName);

// The units switch and the two dials of the airspeed indicator, the
// gunsight shown and put away, the NAV/GPS lever both ways.
const Click britishUnits{"Metric_Switch", {48, 22}};
INSTANTIATE_TEST_SUITE_P(
    SwitchesAirspeedAndGunsight, Golden,
    testing::Values(GoldenCase{"metric_switch_metric", "Metric_Switch", "", {}},
                    GoldenCase{"metric_switch_british", "Metric_Switch", "", {}, 3, {britishUnits}},
                    GoldenCase{"airspeed_metric_250kt", "Airspeed", "", {{"airspeed", 250}}},
                    GoldenCase{"airspeed_british_300kt", "Airspeed", "", {{"airspeed", 300}}, 3, {britishUnits}},
                    GoldenCase{"gunsight_shown", "Gunsight", "", {}},
                    GoldenCase{"gunsight_put_away", "Gunsight", "", {}, 3, {{"Gunsight", {60, 200}}}},
                    GoldenCase{"nav_gps_switch_nav", "NAV_GPS_Switch", "", {{"gps_drives_nav", 0}}},
                    GoldenCase{"nav_gps_switch_gps", "NAV_GPS_Switch", "", {{"gps_drives_nav", 1}}}),
    testName);

// The flight instruments in a climbing turn; the altimeter and the
// vertical-speed indicator in both units.
INSTANTIATE_TEST_SUITE_P(
    FlightInstruments, Golden,
    testing::Values(GoldenCase{"altimeter_metric_5500ft_1013mb", "Altimeter", "",
                               {{"altitude", 5500}, {"altimeter_mb", 1013}}},
                    GoldenCase{"altimeter_british_5500ft_29.92", "Altimeter", "",
                               {{"altitude", 5500}, {"altimeter_inhg", 29.92}}, 3, {britishUnits}},
                    GoldenCase{"artificial_horizon_climbing_left_bank", "Artificial_Horizon", "",
                               {{"pitch", 10}, {"bank", 25}, {"ball", 20}}},
                    GoldenCase{"artificial_horizon_caged_warning", "Artificial_Horizon", "",
                               {{"pitch", -20}, {"bank", -25}, {"gyro_caged", 1}, {"attitude_warning", 1}}},
                    GoldenCase{"directional_gyro_heading_30_course_60", "Directionnal_Gyro", "",
                               {{"heading", 30}, {"heading_bug", 60}}},
                    GoldenCase{"vertical_speed_metric_5ms", "Vertical_Speed", "", {{"vertical_speed", 1280}}},
                    GoldenCase{"vertical_speed_british_1000fpm", "Vertical_Speed", "",
                               {{"vertical_speed", 1300.4799583846413}}, 3, {britishUnits}},
                    GoldenCase{"turn_coordinator_rate_right_ball_left", "Turn_Coordinator", "",
                               {{"turn_rate", 1152}, {"ball", -20}}}),
    testName);

// The COM and NAV radios off at their starting frequencies and switched on
// at another, and the landing indicator centred with the receiver off and
// deflected on an approach.
const Click comOn{"Radio_COM_SK10", {45, 46}};
const Click navOn{"Radio_NAV_E10K", {129, 238}};
INSTANTIATE_TEST_SUITE_P(
    RadiosAndLandingIndicator, Golden,
    testing::Values(GoldenCase{"radio_com_off_118.000", "Radio_COM_SK10", "", {{"com1_freq", 0x1800}}},
                    GoldenCase{"radio_com_on_124.525", "Radio_COM_SK10", "", {{"com1_freq", 0x2452}}, 3, {comOn}},
                    GoldenCase{"radio_nav_off_110.500", "Radio_NAV_E10K", "", {{"nav1_freq", 0x1050}}},
                    GoldenCase{"radio_nav_on_113.950", "Radio_NAV_E10K", "", {{"nav1_freq", 0x1395}}, 3, {navOn}},
                    GoldenCase{"landing_indicator_receiver_off", "Landing_Indicator", "",
                               {{"nav1_flags", 0x80}, {"nav1_course_dev", 90}, {"nav1_glide_dev", -60}}},
                    GoldenCase{"landing_indicator_on_approach", "Landing_Indicator", "",
                               {{"nav1_flags", 0x80}, {"nav1_course_dev", 90}, {"nav1_glide_dev", -60}}, 3, {navOn}}),
    testName);

// The registration plate as it comes and as a panel styles it, the clock at
// 10:08:30 with its bezel turned 10 minutes on, and two panel buttons.
const Click bezelForward{"Junghans_Timer", {37, 135}};
INSTANTIATE_TEST_SUITE_P(
    PlateClockAndButtons, Golden,
    testing::Values(GoldenCase{"registration_atc_id", "Registration", "", {}},
                    GoldenCase{"registration_styled", "Registration", "tD_IABC r255g200b0fCourier New", {}},
                    GoldenCase{"junghans_timer_10_08_30", "Junghans_Timer", "",
                               {{"time_of_day", 10 * 3600 + 8 * 60 + 30}}, 3,
                               std::vector<Click>(10, bezelForward)},
                    GoldenCase{"radios_toggle", "Radios_Toggle", "", {}},
                    GoldenCase{"map_toggle", "Map_Toggle", "", {}}),
    testName);

// The ADF receiver off and on (its window text in band 1), the bearing
// indicator in both presentations with the receiver on, the transponder
// off and on.
const Click adfPower{"Radio_ADF_EZ6", {535, 420}};
const Click adfTone{"Radio_ADF_EZ6", {78, 403}};
INSTANTIATE_TEST_SUITE_P(
    AdfAndTransponder, Golden,
    testing::Values(GoldenCase{"radio_adf_off", "Radio_ADF_EZ6", "", {}},
                    GoldenCase{"radio_adf_on_345.5kHz", "Radio_ADF_EZ6", "", {{"adf_freq_ext", 5}}, 3,
                               {adfPower, adfTone}},
                    GoldenCase{"adf_indicator_compass_45", "ADF_Indicator", "", {{"adf_bearing", 45}}, 3, {adfPower}},
                    GoldenCase{"adf_indicator_homing_350", "ADF_Indicator", "", {{"adf_bearing", -10}}, 3,
                               {adfPower, {"ADF_Indicator", {150, 150}}}},
                    GoldenCase{"transponder_off_7700", "Radio_XPDR_FUG25A6", "", {{"transponder", 0x7700}}},
                    GoldenCase{"transponder_on_1234", "Radio_XPDR_FUG25A6", "", {{"transponder", 0x1234}}, 3,
                               {{"Radio_XPDR_FUG25A6", {115, 145}}}}),
    testName);

// Every gauge at night as it starts, and in the states that change what
// is lit: the radios switched on, the British faces, the homing face. Only
// the luminous art is lit, so a luminous bitmap that carries bezel or
// plate shows here as a lit patch.
TEST(GoldenAtNight, EveryGaugeLooksAsItsGolden)
{
    const std::vector<GaugeInfo> gauges = Host(moduleUnderTest()).gaugeList();
    std::vector<GoldenCase> cases;
    for (const GaugeInfo& gauge : gauges)
        cases.push_back({nullptr, gauge.name.c_str(), "", {}});
    const std::vector<GoldenCase> states{
        {"Radio_COM_SK10_on", "Radio_COM_SK10", "", {}, 3, {comOn}},
        {"Radio_NAV_E10K_on", "Radio_NAV_E10K", "", {}, 3, {navOn}},
        {"Radio_ADF_EZ6_on", "Radio_ADF_EZ6", "", {}, 3, {adfPower}},
        {"Radio_XPDR_FUG25A6_on", "Radio_XPDR_FUG25A6", "", {}, 3, {{"Radio_XPDR_FUG25A6", {115, 145}}}},
        {"ADF_Indicator_homing", "ADF_Indicator", "", {}, 3, {adfPower, {"ADF_Indicator", {150, 150}}}},
        {"Airspeed_british", "Airspeed", "", {{"airspeed", 300}}, 3, {britishUnits}},
        {"Altimeter_british", "Altimeter", "", {}, 3, {britishUnits}},
        {"Vertical_Speed_british", "Vertical_Speed", "", {}, 3, {britishUnits}},
        {"Metric_Switch_british", "Metric_Switch", "", {}, 3, {britishUnits}},
    };
    cases.insert(cases.end(), states.begin(), states.end());
    for (GoldenCase& c : cases) {
        const std::string name = std::string("night_") + (c.name ? c.name : c.gauge);
        SCOPED_TRACE(name);
        c.name = name.c_str();
        expectCaseLooksAsGolden(c, true);
    }
}

}  // namespace
}  // namespace devhost
