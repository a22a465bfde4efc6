// `devhost vars`, `events` and `describe` against the module's own records,
// and the closest names offered for a mistyped one wherever a name is taken.
#include <gtest/gtest.h>

#include <set>

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
    EXPECT_EQ(com["sends"], nlohmann::json({"COM_RADIO_FRACT_INC", "COM_RADIO_WHOLE_INC"}))
        << "the knob speaks once the switch is on; at the band's foot, only upwards";
    bool switchFound = false;
    for (const auto& area : com["mouse_areas"])
        switchFound |= area.value("tooltip", "") == "COM1 main switch (off)";
    EXPECT_TRUE(switchFound);
    EXPECT_FALSE(com["lit_at_night"].empty());
    EXPECT_NE(devhostJson("describe --json Oil_Pressure")["parameter"]["examples"].get<std::string>().find('2'),
              std::string::npos);
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
