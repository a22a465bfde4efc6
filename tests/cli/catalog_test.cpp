// `devhost vars`, `events` and `describe` against the module's own records,
// and the closest names offered for a mistyped one wherever a name is taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "devhost_run.h"

namespace devhost::testing {
namespace {

std::set<std::string> namesIn(const nlohmann::json& list)
{
    std::set<std::string> names;
    for (const auto& entry : list)
        names.insert(entry["name"].get<std::string>());
    return names;
}

TEST(Catalogue, EveryVariableAGaugeReadsAndEveryEventItSendsIsListed)
{
    const std::set<std::string> variables = namesIn(devhostJson("vars --json"));
    const std::set<std::string> events = namesIn(devhostJson("events --json"));
    const Outcome list = devhost("list");
    std::istringstream lines(list.out);
    std::string line;
    std::getline(lines, line);  // the heading
    int gauges = 0;
    while (std::getline(lines, line)) {
        const std::string gauge = line.substr(0, line.find(' '));
        const nlohmann::json d = devhostJson("describe --json " + gauge);
        ++gauges;
        for (const auto& read : d["reads"])
            EXPECT_TRUE(variables.count(read.get<std::string>())) << gauge << " reads " << read;
        for (const auto& sent : d["sends"])
            EXPECT_TRUE(events.count(sent.get<std::string>())) << gauge << " sends " << sent;
    }
    EXPECT_EQ(gauges, 41);
}

TEST(Catalogue, DescribeTellsAreasBitmapsAndWhatIsLitAtNight)
{
    const nlohmann::json com = devhostJson("describe --json Radio_COM_SK10");
    EXPECT_EQ(com["pixels"], nlohmann::json({350, 360}));
    EXPECT_EQ(com["reads"], nlohmann::json({"com1_freq"}));
    EXPECT_EQ(std::set<std::string>(com["sends"].begin(), com["sends"].end()),
              (std::set<std::string>{"COM_RADIO_FRACT_INC", "COM_RADIO_WHOLE_INC", "COM_RADIO_FRACT_DEC",
                                     "COM_RADIO_WHOLE_DEC"}))
        << "the knob speaks once the switch is on, downwards once it has left the band's foot";
    EXPECT_FALSE(devhostJson("describe --json Radio_XPDR_FUG25A6")["lit_at_night"].empty())
        << "the code wheels are lit while the transponder is on";
    bool switchFound = false;
    for (const auto& area : com["mouse_areas"])
        switchFound |= area.value("tooltip", "") == "COM1 main switch (off)";
    EXPECT_TRUE(switchFound);
    EXPECT_FALSE(com["lit_at_night"].empty());
    EXPECT_NE(devhostJson("describe --json Oil_Pressure")["parameter"]["examples"].get<std::string>().find('2'),
              std::string::npos);
}

// The key events seen in a run, by name (window toggles aside).
std::set<std::string> eventsSent(const std::string& args)
{
    std::set<std::string> names;
    const nlohmann::json run = devhostJson("run --json " + args);
    for (const auto& report : run["reports"])
        for (const auto& event : report["snapshot"]["events"])
            if (!event.contains("window_toggle"))
                names.insert(event["name"].is_string() ? event["name"].get<std::string>() : event["id"].dump());
    return names;
}

// What describe lists against what the gauges send when the demo flight
// runs, and when each gauge of the built-in panel, placed alone with its
// parameter text, is clicked all over with either button.
TEST(Catalogue, DescribeListsEveryEventTheGaugesSend)
{
    std::set<std::string> listed;
    const nlohmann::json panel = devhostJson("run --json --frames 1");
    for (const auto& placed : panel["reports"][0]["snapshot"]["gauges"]) {
        const std::string gauge = placed["name"], parameter = placed["parameter"];
        const nlohmann::json d = devhostJson("describe --json " + gauge + " --param '" + parameter + "'");
        const std::set<std::string> sends(d["sends"].begin(), d["sends"].end());
        listed.insert(sends.begin(), sends.end());
        const int width = d["pixels"][0], height = d["pixels"][1];
        writeScratch("alone.cfg", "[Window00]\nsize_mm=100,100\ngauge00=Vardex_Instr!" + gauge + ", 0, 0, " +
                                      std::to_string(width) + ", " + std::to_string(height) + ", " + parameter + "\n");
        // A grid of points, twice forwards and twice backwards.
        std::vector<std::pair<int, int>> points;
        constexpr int Step = 30;
        for (int x = Step / 2; x < width; x += Step)
            for (int y = Step / 2; y < height; y += Step)
                points.emplace_back(x, y);
        std::ostringstream actions;
        double at = 0;
        for (int pass = 0; pass < 4; ++pass) {
            if (pass == 2)
                std::reverse(points.begin(), points.end());
            for (const auto& [x, y] : points)
                for (const char* button : {"left", "right"})
                    actions << (at > 0 ? ",\n" : "") << "{\"at\": " << (at += 1.0 / 18) << ", \"click\": \"" << gauge
                            << "\", \"x\": " << x << ", \"y\": " << y << ", \"button\": \"" << button << "\"}";
        }
        writeScratch("sweep.json", "{\"actions\": [" + actions.str() + "]}");
        for (const std::string& event : eventsSent("--panel alone.cfg --flight sweep.json"))
            EXPECT_TRUE(sends.count(event)) << gauge << " sends " << event << " in the sweep";
    }
    for (const std::string& event : eventsSent(""))
        EXPECT_TRUE(listed.count(event)) << event << " sent in the demo flight";
}

TEST(DidYouMean, EveryPlaceANameIsTakenOffersTheClosest)
{
    EXPECT_NE(devhost("render --gauge Airspeeed -o a.png").err.find("did you mean Airspeed?"), std::string::npos);
    EXPECT_NE(devhost("hover --gauge Radio_COM_SK10 --at 1,1 --set com1_frq=122.80").err.find("did you mean com1_freq?"),
              std::string::npos);
    EXPECT_NE(devhost("run --frames 1 --events COM_RADIO_FRAC_INC").err.find("did you mean COM_RADIO_FRACT_INC"),
              std::string::npos);

    writeScratch("typo.cfg", "[Window00]\nsize_mm=100,100\ngauge00=Vardex_Instr!Airspede, 0, 0\n");
    const Outcome panel = devhost("run --frames 1 --panel typo.cfg");
    EXPECT_EQ(panel.status, 1);
    EXPECT_NE(panel.err.find("typo.cfg:3: "), std::string::npos) << panel.err;
    EXPECT_NE(panel.err.find("did you mean Airspeed?"), std::string::npos) << panel.err;

    writeScratch("typo.json", "{\n  \"duration\": 2,\n  \"variables\": {\n    \"altitdue\": [[0, 1]]\n  }\n}\n");
    const Outcome flight = devhost("run --flight typo.json");
    EXPECT_NE(flight.err.find("typo.json:4: unknown variable \"altitdue\" (did you mean altitude?)"),
              std::string::npos)
        << flight.err;
}

}  // namespace
}  // namespace devhost::testing
