// Flights on the flight model: the three of fdm/flights pass their
// checkpoints (expectations from physics), a modelled flight replays to the
// same readings, and a model that cannot fly is told with its cause. They
// need the JSBSim program (scripts/install-deps.sh, which CI runs).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

#include "devhost_run.h"

namespace devhost::testing {
namespace {

const std::string Flights = std::string(VARDEX_SOURCE_DIR) + "/fdm/flights/";

// The JSBSim program is missing when devhost says so.
bool withoutJsbsim(const Outcome& run) { return run.err.find("is not installed") != std::string::npos; }

TEST(ModelledFlights, EachFlightPassesItsCheckpoints)
{
    for (const char* flight : {"takeoff", "turns", "ils_approach"}) {
        const Outcome run = devhost("run --tap --flight '" + Flights + flight + ".json'");
        if (withoutJsbsim(run))
            GTEST_SKIP() << "no JSBSim program: scripts/install-deps.sh fetches it";
        EXPECT_EQ(run.status, 0) << flight << "\n" << run.out << run.err;
        EXPECT_EQ(run.out.find("not ok"), std::string::npos) << flight << "\n" << run.out;
    }
}

TEST(ModelledFlights, AFlightReplaysToTheSameReadings)
{
    const std::string args = "run --json --at 70 --flight '" + Flights + "turns.json'";
    const Outcome first = devhost(args), second = devhost(args);
    if (withoutJsbsim(first))
        GTEST_SKIP() << "no JSBSim program: scripts/install-deps.sh fetches it";
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, second.out);
}

TEST(ModelledFlights, AModelThatCannotFlyIsToldWithItsCause)
{
    // A copy of fdm/ to spoil, file by file.
    const std::filesystem::path fdm = scratchFolder() + "/fdm";
    std::filesystem::remove_all(fdm);
    std::filesystem::copy(std::string(VARDEX_SOURCE_DIR) + "/fdm", fdm, std::filesystem::copy_options::recursive);
    const std::string aircraft = "fdm/aircraft/vardex_jet/vardex_jet.xml", takeoff = "fdm/scripts/takeoff.xml";
    const auto spoil = [](const std::string& file, const std::string& from, const std::string& to) {
        std::string text = readScratch(file);
        text.replace(text.find(from), from.size(), to);
        writeScratch(file, text);
    };
    const std::string original = readScratch(aircraft), script = readScratch(takeoff);
    const struct {
        std::function<void()> spoiling;
        std::string options, told;
    } cases[] = {
        {[&] { spoil(takeoff, "vardex_jet\"", "no_such_jet\""); }, "", "exit status 255\\)[\\s\\S]*Could not open file: .*no_such_jet.xml"},
        {[&] { spoil(aircraft, "instruments/engine/oil-kgcm2[1]", "instruments/engine/oil[1]"); }, "",
         "the aircraft has no property instruments/engine/oil-kgcm2\\[1\\]"},
        // A division by zero once the flaps move: JSBSim traps it.
        {[&] { spoil(aircraft, "<value> 0.018 </value> </product>",
                     "<quotient> <value> 1 </value> <difference> <property> fcs/flap-pos-norm </property> "
                     "<value> 0.3 </value> </difference> </quotient> </product>"); },
         "", "died of signal 8 .*floating-point fault"},
        {[&] { spoil(takeoff, "end=\"200\"", "end=\"5\""); }, "", "the script ends at 5.0. s, before the flight's"},
        {[] {}, "--jsbsim /bin/true", "/bin/true: this program .*is not a JSBSim"},
    };
    for (const auto& c : cases) {
        writeScratch(aircraft, original);
        writeScratch(takeoff, script);
        c.spoiling();
        const Outcome run = devhost("run " + c.options + " --flight fdm/flights/takeoff.json");
        if (withoutJsbsim(run))
            GTEST_SKIP() << "no JSBSim program: scripts/install-deps.sh fetches it";
        EXPECT_EQ(run.status, 1) << c.told;
        EXPECT_TRUE(std::regex_search(run.err, std::regex(c.told))) << run.err;
    }
}

}  // namespace
}  // namespace devhost::testing
