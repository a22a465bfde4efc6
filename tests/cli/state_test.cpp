// The state a single gauge or a panel is shown in: flights to a moment,
// settings and clicks in order, and options that cannot go together.
#include <gtest/gtest.h>

#include <fstream>

#include "devhost_run.h"

namespace devhost::testing {
namespace {

std::string fileText(const std::string& name)
{
    std::ifstream in(scratchFolder() + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(State, ClicksInOrderSwitchTheRadioOnAndTuneIt)
{
    const std::string on = " --click 45,46";
    const std::string upThreeSteps = " --click 218,250 --click 218,250 --click 218,250";
    EXPECT_EQ(devhost("hover --gauge Radio_COM_SK10 --at 150,40" + on + upThreeSteps).out,
              "Communications Radio COM1 - 118.075 MHz\n");
    EXPECT_EQ(devhost("hover --gauge Radio_COM_SK10 --at 150,40" + upThreeSteps).out,
              "Communications Radio COM1 - 118.000 MHz\n")
        << "switched off, the knob sends nothing";
    const Outcome click = devhost("click --gauge Radio_COM_SK10 --at 218,250 --right" + on);
    EXPECT_NE(click.out.find("before: left click at (45,46): handled"), std::string::npos) << click.out;
    EXPECT_NE(click.out.find("119.000 MHz"), std::string::npos) << click.out;
}

TEST(State, AGaugeFollowsTheFlightToTheMomentAsked)
{
    const Outcome cruise = devhost("hover --gauge Radio_COM_SK10 --at 150,40 --time 180");
    EXPECT_NE(cruise.out.find("MHz"), std::string::npos);
    EXPECT_NE(cruise.out, devhost("hover --gauge Radio_COM_SK10 --at 150,40").out)
        << "the demo flight tunes the COM radio by then";
    EXPECT_EQ(devhost("render --gauge Airspeed --at 100 -o a.png").status, 0);
    EXPECT_EQ(devhost("render --gauge Airspeed -o b.png").status, 0);
    EXPECT_NE(fileText("a.png"), fileText("b.png"));
}

TEST(State, OptionsThatCannotGoTogetherAreRefused)
{
    EXPECT_NE(devhost("render --window 1 --gauge Airspeed -o x.png").err.find("excludes"),
              std::string::npos);
    EXPECT_NE(devhost("render --at 400 -o x.png").err.find("0 to 310 s"), std::string::npos);
    EXPECT_NE(devhost("render --at -1 -o x.png").err.find("0 to 310 s"), std::string::npos);
    writeScratch("open.json", R"({"variables": {"airspeed": [[0, 100]]}})");
    EXPECT_NE(devhost("render --flight open.json -o x.png").err.find("no \"duration\""), std::string::npos);
    EXPECT_NE(devhost("render --param 2 -o x.png").err.find("--param requires --gauge"), std::string::npos);
}

// Outputs and times that cannot be meant are refused before anything is
// written; a picture is written in the form its name asks for.
TEST(State, OutputsAreWhatTheirNamesSay)
{
    const struct {
        const char* args;
        const char* says;
    } refused[] = {
        {"render --gauge Airspeed -o x.jpg", "written as .png or .webp"},
        {"render --gauge Airspeed --from 0 --to 2 --speed 0.0001 -o x.webp", "0.01 to 1000"},
        {"reference -o ''", "name the folder"},
        {"run --at -1", "out of range"},
    };
    for (const auto& r : refused) {
        const Outcome outcome = devhost(r.args);
        EXPECT_NE(outcome.status, 0) << r.args;
        EXPECT_NE(outcome.err.find(r.says), std::string::npos) << r.args << ": " << outcome.err;
    }
    ASSERT_EQ(devhost("render --gauge Airspeed -o one.webp").status, 0);
    EXPECT_EQ(fileText("one.webp").substr(8, 4), "WEBP");
    EXPECT_NE(devhost("click --gauge Airspeed --at 1,1 --frames 40").out.find("after 40 frames: Airspeed"),
              std::string::npos);
}

TEST(State, APanelPictureTakesSettingsToo)
{
    ASSERT_EQ(devhost("render -o plain.png").status, 0);
    ASSERT_EQ(devhost("render --set airspeed=250kmh -o set.png").status, 0);
    EXPECT_NE(fileText("plain.png"), fileText("set.png"));
}

}  // namespace
}  // namespace devhost::testing
