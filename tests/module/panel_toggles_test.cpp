// The ten panel buttons. Three make the host send a fixed key event; seven
// do what the parameter text of the placed button says: open, close or
// toggle panel windows and step the view on every click, choose their face
// and help at installation, close a window once at the first installation.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t PanelToggle = 66506;
constexpr uint32_t PanelOpen = 66507;
constexpr uint32_t PanelClose = 66508;
constexpr uint32_t ViewNext = 65734;
constexpr uint32_t ViewPrevious = 65735;
constexpr uint32_t ViewMode = 65875;
constexpr int Face = 0;

using Sent = std::vector<std::pair<uint32_t, uint32_t>>;  // key event, value

// The key events the host received, in order (window toggles apart), a
// run the log keeps as one entry counted out.
Sent keyEvents(const Host& host)
{
    Sent sent;
    for (const devhost::EventRecord& event : host.events())
        if (!event.windowToggle)
            sent.insert(sent.end(), event.count, {event.id, event.value});
    return sent;
}

std::vector<uint32_t> windowToggles(const Host& host)
{
    std::vector<uint32_t> windows;
    for (const devhost::EventRecord& event : host.events())
        if (event.windowToggle)
            windows.insert(windows.end(), event.count, event.id);
    return windows;
}

Sent repeated(uint32_t event, int times) { return Sent(static_cast<size_t>(times), {event, 0}); }

class PanelButtons : public testing::Test {
protected:
    Host host{devhost::moduleUnderTest()};

    // A command button placed with `commands`; what one click on it sends.
    Sent oneClick(std::string_view commands, std::string_view gauge = "Radios_Toggle")
    {
        GaugeInstance& button = host.place(gauge, commands);
        host.clearEvents();
        EXPECT_TRUE(host.click(button, 9, 9).handled);
        return keyEvents(host);
    }
};

// ---------------------------------------------------------------- windows

TEST_F(PanelButtons, OpenRadioStackSendsTheOpenEventWithWindow50OnEveryClick)
{
    GaugeInstance& button = host.place("Radios_Toggle", "oRADIO_STACK_PANEL");
    host.click(button, 9, 9);
    host.click(button, 9, 9);
    EXPECT_EQ(keyEvents(host), (Sent{{PanelOpen, 50}, {PanelOpen, 50}}));
    EXPECT_TRUE(host.windows().visible[50]) << "the host opened the radio stack";
}

TEST_F(PanelButtons, CloseAndToggleActInTheOrderOpenCloseToggle)
{
    EXPECT_EQ(oneClick("cGPS_PANEL tCOMPASS_PANEL"), (Sent{{PanelClose, 225}, {PanelToggle, 75}}));
    EXPECT_EQ(oneClick("tCOMPASS_PANEL cGPS_PANEL oTHROTTLE_PANEL"),
              (Sent{{PanelOpen, 10}, {PanelClose, 225}, {PanelToggle, 75}}))
        << "all o's first, then the c's, then the t's, whatever their order in the text";
}

TEST_F(PanelButtons, EveryOccurrenceOfALetterCounts)
{
    EXPECT_EQ(oneClick("o50 o75"), (Sent{{PanelOpen, 50}, {PanelOpen, 75}}));
    EXPECT_EQ(oneClick("cRADIO_STACK_PANEL cTHROTTLE_PANEL cGPS_PANEL cCOMPASS_PANEL", "Close_Subpanel"),
              (Sent{{PanelClose, 50}, {PanelClose, 10}, {PanelClose, 225}, {PanelClose, 75}}));
}

TEST_F(PanelButtons, EachWindowNameGivesItsNumberAndAnythingElseItsLeadingNumber)
{
    const std::pair<std::string_view, uint32_t> windows[] = {
        {"MAIN_PANEL", 0},          {"RADIO_STACK_PANEL", 50},  {"COMPASS_PANEL", 75},
        {"ANNUNCIATOR_PANEL", 125}, {"ANNUNCIATOR2_PANEL", 150}, {"COLLECTIVE_PANEL", 200},
        {"THROTTLE_PANEL", 10},     {"MINI_CONTROLS_PANEL", 100}, {"IFR_MAIN_PANEL", 175},
        {"GPS_PANEL", 225},         {"OVERHEAD_PANEL", 250},     {"NOWHERE", 0},
        {" +42", 42},               {"7X", 7},
    };
    for (const auto& [name, number] : windows)
        EXPECT_EQ(oneClick("o" + std::string(name)), (Sent{{PanelOpen, number}})) << name;
}

TEST_F(PanelButtons, ANegativeWindowNumberOrALetterAtTheEndSendsNothing)
{
    EXPECT_TRUE(oneClick("o-5").empty());
    EXPECT_TRUE(oneClick("GPS o").empty());
}

TEST_F(PanelButtons, CommandsBehindACommentMarkerAreIgnored)
{
    EXPECT_EQ(oneClick("oMAIN_PANEL#cGPS_PANEL"), (Sent{{PanelOpen, 0}}));
    EXPECT_EQ(oneClick("o50 o75/o100 p2"), (Sent{{PanelOpen, 50}, {PanelOpen, 75}}))
        << "the scan stops at the marker, and p behind it is not found";
    EXPECT_TRUE(oneClick("'o50").empty());
}

TEST_F(PanelButtons, WithoutAParameterTextAClickTogglesTheMainPanelWindow)
{
    GaugeInstance& button = host.place("Throttle_Toggle");
    host.click(button, 9, 9);
    EXPECT_TRUE(keyEvents(host).empty());
    EXPECT_EQ(windowToggles(host), std::vector<uint32_t>{0});
}

// ---------------------------------------------------------------- view

TEST_F(PanelButtons, TheViewStepsBackForwardOrChangesMode)
{
    EXPECT_EQ(oneClick("p-2", "Invisible_Toggle"), repeated(ViewPrevious, 2));
    EXPECT_EQ(oneClick("p0", "Landing_View_Toggle"), (Sent{{ViewMode, 0}}));
    EXPECT_EQ(oneClick("p3", "Invisible_Toggle"), repeated(ViewNext, 3));
    EXPECT_EQ(oneClick("p1 p5", "Invisible_Toggle"), repeated(ViewNext, 1)) << "only the first p counts";
}

TEST_F(PanelButtons, AHugeViewStepCountIsCappedAtSixteenStepsPerClick)
{
    EXPECT_EQ(oneClick("p99999999", "Invisible_Toggle"), repeated(ViewNext, 16));
    EXPECT_EQ(oneClick("p-2147483648", "Invisible_Toggle"), repeated(ViewPrevious, 16));
    EXPECT_EQ(oneClick("p-99999999999999999999", "Invisible_Toggle"), repeated(ViewPrevious, 16));
    EXPECT_EQ(oneClick("p16", "Invisible_Toggle"), repeated(ViewNext, 16));
    EXPECT_EQ(oneClick("p15", "Invisible_Toggle"), repeated(ViewNext, 15));
}

// ---------------------------------------------------------------- installation

TEST_F(PanelButtons, TheFirstActionClosesAWindowAtTheFirstInstallationOnly)
{
    GaugeInstance& button = host.place("GPS_Toggle", "aOVERHEAD_PANEL");
    EXPECT_EQ(keyEvents(host), (Sent{{PanelClose, 250}}));
    EXPECT_EQ(host.probe(button).userData, 1u) << "the definition remembers its first set-up";
    host.clearEvents();
    host.notify(button, ServiceInstall);
    EXPECT_TRUE(host.events().empty()) << "installed again: nothing";
    host.click(button, 9, 9);
    EXPECT_TRUE(host.events().empty()) << "no o, c, t or p: a click calls nothing, not even a window toggle";
}

TEST_F(PanelButtons, EachPlacedButtonIsItsOwnDefinitionInTheDevelopmentHost)
{
    // The development host hands every placed gauge its own copy of the
    // records, user-data word included, so a second placement is a first
    // installation of its copy.
    host.place("GPS_Toggle", "aOVERHEAD_PANEL");
    host.place("GPS_Toggle", "aOVERHEAD_PANEL");
    EXPECT_EQ(keyEvents(host), (Sent{{PanelClose, 250}, {PanelClose, 250}}));
}

TEST_F(PanelButtons, EveryInstallationMarksTheDefinitionEvenWithoutAFirstAction)
{
    GaugeInstance& button = host.place("Compass_Toggle");
    EXPECT_EQ(host.probe(button).userData, 1u);
    EXPECT_TRUE(host.events().empty());
}

TEST_F(PanelButtons, TheFaceCanBeAnyOfTheSevenCommandButtons)
{
    GaugeInstance& button = host.place("Invisible_Toggle", "b130");
    EXPECT_EQ(host.probe(button).elements[Face].bitmap, 130);
    for (std::string_view notAFace : {"b135", "b90", "b170", "bX", "b-130", "b99999999999"}) {
        GaugeInstance& other = host.place("Radios_Toggle", std::string(notAFace) + " hTOGGLE_FUEL_WINDOW");
        const devhost::GaugeSnapshot shown = host.probe(other);
        EXPECT_EQ(shown.elements[Face].bitmap, 120) << notAFace;
        EXPECT_EQ(shown.helpIdOfFirstRegion, 43910u) << notAFace << ": the help stays as well";
    }
}

TEST_F(PanelButtons, TheHelpComesFromATooltipNameOrAHostHelpNumber)
{
    const std::pair<std::string_view, uint32_t> helps[] = {
        {"hTOGGLE_RADIO_WINDOW", 43910},    {"hTOGGLE_GPS_WINDOW", 43911},  {"hTOGGLE_THROTTLE_WINDOW", 43912},
        {"hTOGGLE_COMPASS_WINDOW", 43913},  {"hTOGGLE_FUEL_WINDOW", 43914}, {"hTOGGLE_COLLECTIVE_WINDOW", 43915},
        {"h43776", 43776},                  {"h40960", 40960},              {"h40959", 0},
        {"h12", 0},                         {"hNONE", 0},                   {"h99999999999", 2147483647},
        {"b140 hTOGGLE_FUEL_WINDOW", 43914},
    };
    for (const auto& [commands, help] : helps)
        EXPECT_EQ(host.probe(host.place("Invisible_Toggle", commands)).helpIdOfFirstRegion, help) << commands;
    GaugeInstance& fuel = host.place("Radios_Toggle", "hTOGGLE_FUEL_WINDOW");
    EXPECT_EQ(host.hover(fuel, 9, 9), devhost::hostHelpText(43914));
    EXPECT_EQ(host.hover(host.place("Radios_Toggle", "h12"), 9, 9), "") << "no tooltip";
}

// ---------------------------------------------------------------- the ten buttons

TEST_F(PanelButtons, ThreeButtonsHaveTheHostSendTheirFixedKeyEvent)
{
    const struct {
        const char* gauge;
        uint32_t keyEvent;
        uint32_t help;
        int32_t face;
        int spot;
    } fixed[] = {{"Kneeboard_Toggle", 65876, 43923, 60, 9}, {"ATC_Toggle", 65564, 43924, 80, 9},
                 {"Map_Toggle", 66432, 43919, 70, 6}};
    for (const auto& button : fixed) {
        GaugeInstance& placed = host.place(button.gauge, "oMAIN_PANEL p3");
        host.clearEvents();
        const devhost::ClickResult click = host.click(placed, button.spot, button.spot);
        EXPECT_FALSE(click.handled) << button.gauge << ": no module code runs";
        EXPECT_EQ(click.keyEvent, button.keyEvent) << button.gauge;
        EXPECT_EQ(keyEvents(host), (Sent{{button.keyEvent, 0}})) << button.gauge << " ignores its parameter text";
        const devhost::GaugeSnapshot shown = host.probe(placed);
        EXPECT_EQ(shown.helpIdOfFirstRegion, button.help) << button.gauge;
        EXPECT_EQ(shown.elements[Face].bitmap, button.face) << button.gauge;
    }
}

TEST_F(PanelButtons, TheSevenCommandButtonsShowTheirFaceHelpAndTooltip)
{
    const struct {
        const char* gauge;
        int32_t face;
        uint32_t help;
        const char* tooltip;
    } buttons[] = {
        {"Invisible_Toggle", 100, 0, ""},
        {"Close_Subpanel", 110, 0, "Close the subpanel"},
        {"Radios_Toggle", 120, 43910, nullptr},
        {"Landing_View_Toggle", 130, 0, "Switch between Normal and Landing view"},
        {"GPS_Toggle", 140, 43911, nullptr},
        {"Throttle_Toggle", 150, 43912, nullptr},
        {"Compass_Toggle", 160, 43913, nullptr},
    };
    for (const auto& button : buttons) {
        GaugeInstance& placed = host.place(button.gauge);
        const devhost::GaugeSnapshot shown = host.probe(placed);
        EXPECT_EQ(shown.elements[Face].bitmap, button.face) << button.gauge;
        EXPECT_EQ(shown.helpIdOfFirstRegion, button.help) << button.gauge;
        const std::string tooltip = button.tooltip ? button.tooltip : std::string(devhost::hostHelpText(button.help));
        EXPECT_EQ(host.hover(placed, 1, 1), tooltip) << button.gauge;
    }
}

TEST_F(PanelButtons, OnlyTheMiddleSpotTakesClicks)
{
    GaugeInstance& button = host.place("Radios_Toggle", "o50");
    EXPECT_FALSE(host.click(button, 2, 9).hit);
    EXPECT_FALSE(host.click(button, 16, 9).hit);
    EXPECT_TRUE(host.click(button, 3, 3).hit);
    EXPECT_TRUE(host.click(button, 15, 15).hit);
    EXPECT_FALSE(host.click(button, 9, 9, ClickRight).hit) << "left clicks only";
}

}  // namespace
