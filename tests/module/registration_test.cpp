// The registration plate: the host's ATC identifier in white Arial, or a
// fixed text, font and colour from the parameter text of the placed plate.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "devhost/core/host.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;
using devhost::HostOptions;

constexpr int Text = 1;  // over the plate, bitmap 50
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Red = 0x0000FF;  // 0x00BBGGRR

// What the plate shows after a frame: text, colour and font.
struct Plate {
    std::string text;
    uint32_t colour;
    std::string font;
};

Plate plateAfterAFrame(std::string_view parameter, const std::string& atcId = "D-HVDX")
{
    Host host(devhost::moduleUnderTest(), HostOptions{.atcId = atcId});
    GaugeInstance& plate = host.place("Registration", parameter);
    host.frame();
    const devhost::ElementSnapshot shown = host.probe(plate).elements[Text];
    return {shown.text, shown.textColour, shown.font};
}

TEST(RegistrationPlate, WithoutAParameterItShowsTheHostsIdentifierInWhiteArial)
{
    const Plate plate = plateAfterAFrame({});
    EXPECT_EQ(plate.text, "D-HVDX");
    EXPECT_EQ(plate.colour, White);
    EXPECT_EQ(plate.font, "Arial");
}

TEST(RegistrationPlate, TheIdentifierIsAskedForEveryFrameAndCutAtItsFirstSpace)
{
    EXPECT_EQ(plateAfterAFrame({}, "N12 345").text, "N12");
    EXPECT_EQ(plateAfterAFrame({}, "ABCDEFGHIJ").text, "ABCDEFG") << "seven characters at most";
    EXPECT_EQ(plateAfterAFrame({}, "").text, "");
    Host host(devhost::moduleUnderTest());
    GaugeInstance& plate = host.place("Registration");
    EXPECT_EQ(host.probe(plate).elements[Text].text, "") << "before the first refresh there is no identifier";
}

TEST(RegistrationPlate, AFixedTextAtTheStartReplacesTheIdentifier)
{
    EXPECT_EQ(plateAfterAFrame("tD-IABC").text, "D-IABC");
    EXPECT_EQ(plateAfterAFrame("tD_IABC").text, "D IABC") << "underscores stand for spaces";
    EXPECT_EQ(plateAfterAFrame("t__A__").text, "  A  ");
    EXPECT_EQ(plateAfterAFrame("tD-IABC r255").text, "D-IABC") << "the text ends at its first space";
    EXPECT_EQ(plateAfterAFrame("tLONGERTHANSEVEN").text, "LONGERT");
    EXPECT_EQ(plateAfterAFrame("xtD-IABC").text, "D-HVDX") << "a t elsewhere is no fixed text";
    EXPECT_EQ(plateAfterAFrame("t").text, "");
}

TEST(RegistrationPlate, TwoPlatesShowTheirOwnTextsFrameAfterFrame)
{
    Host host(devhost::moduleUnderTest());
    GaugeInstance& fixed = host.place("Registration", "tD_IABC");
    GaugeInstance& identifier = host.place("Registration");
    for (int frame = 0; frame < 2; ++frame) {
        host.frame();
        EXPECT_EQ(host.probe(fixed).elements[Text].text, "D IABC");
        EXPECT_EQ(host.probe(identifier).elements[Text].text, "D-HVDX");
    }
}

TEST(RegistrationPlate, AnUnderscoreBehindACommentMarkerStays)
{
    EXPECT_EQ(plateAfterAFrame("tA_B#C_D").text, "A B#C_D");
}

TEST(RegistrationPlate, ColourComponentsAreReadOnceAndHeldTo255)
{
    EXPECT_EQ(plateAfterAFrame("r255g0b0").colour, Red);
    EXPECT_EQ(plateAfterAFrame("r300g0b0").colour, Red);
    EXPECT_EQ(plateAfterAFrame("r-5g0b0").colour, Red) << "a negative number, taken as unsigned, is large";
    EXPECT_EQ(plateAfterAFrame("g0").colour, 0xFF00FFu) << "components not given keep white's";
    EXPECT_EQ(plateAfterAFrame("r99999999999g0b0").colour, Red) << "beyond 32 bits: held, not wrapped";
    EXPECT_EQ(plateAfterAFrame("r-99999999999g0b0").colour, Red);
    EXPECT_EQ(plateAfterAFrame("r g0b0").colour, 0u) << "no digits: 0";
}

TEST(RegistrationPlate, TheFontTakesTheRestOfTheTextAndIsCutAway)
{
    const Plate plate = plateAfterAFrame("r0g0b0fCourier New");
    EXPECT_EQ(plate.font, "Courier New");
    EXPECT_EQ(plate.colour, 0u);
    EXPECT_EQ(plate.text, "D-HVDX");
    Host host(devhost::moduleUnderTest());
    EXPECT_EQ(host.probe(host.place("Registration", "tABC fTimes")).parameter, "tABC ")
        << "later searches see only what stood before the font";
}

TEST(RegistrationPlate, AFontNameLongerThan31CharactersIsCut)
{
    const std::string longName(200, 'X');
    EXPECT_EQ(plateAfterAFrame("f" + longName).font, std::string(31, 'X'));
}

TEST(RegistrationPlate, ItemsBehindACommentMarkerAreHidden)
{
    for (std::string_view hidden : {"/t", "#r0", "'fCourier"}) {
        const Plate plate = plateAfterAFrame(hidden);
        EXPECT_EQ(plate.text, "D-HVDX") << hidden;
        EXPECT_EQ(plate.colour, White) << hidden;
        EXPECT_EQ(plate.font, "Arial") << hidden;
    }
}

TEST(RegistrationPlate, LettersOfTheFixedTextAreAlsoReadAsItems)
{
    const Plate plate = plateAfterAFrame("tabc");
    EXPECT_EQ(plate.text, "abc");
    EXPECT_EQ(plate.colour, 0x00FFFFu) << "the b of abc sets blue to 0";
}

TEST(RegistrationPlate, ItsTooltipNamesIt)
{
    Host host(devhost::moduleUnderTest());
    EXPECT_EQ(host.hover(host.place("Registration"), 75, 12), "Registration number");
}

}  // namespace
