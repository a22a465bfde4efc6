// The real module on the built-in panel, as the simulator would run it.
#include <gtest/gtest.h>

#include <set>

#include "devhost/core/host.h"
#include "devhost/flight/flight.h"

namespace devhost {
namespace {

TEST(DefaultPanelRun, PlacesEveryGaugeOfTheModule)
{
    Host host(moduleUnderTest());
    EXPECT_EQ(host.gaugeList().size(), GaugeCount);
    EXPECT_TRUE(host.placePanel(defaultPanel()).empty()) << "the built-in panel names only this module's gauges";
    std::set<std::string> placed;
    for (const auto& gauge : host.gauges())
        placed.insert(gauge->name());
    EXPECT_EQ(placed.size(), GaugeCount);
}

TEST(DefaultPanelRun, FramesRunWithoutAServiceTheHostLacksOrAVariableItDoesNotKnow)
{
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    host.frame(3);
    host.notifyAll(ServiceShutDownNotice);
    host.frame();
    Snapshot snapshot = host.probe();
    EXPECT_TRUE(snapshot.trapsCalled.empty());
    EXPECT_TRUE(snapshot.unknownVariables.empty());
    EXPECT_EQ(snapshot.frame, 4u);
    for (const GaugeSnapshot& gauge : snapshot.gauges) {
        SCOPED_TRACE(gauge.name);
        ASSERT_FALSE(gauge.elements.empty());
        EXPECT_EQ(gauge.elements[0].kind, StaticImage) << "one root image per gauge";
    }
}

TEST(DefaultPanelRun, EveryPlacedGaugeHasItsOwnRecords)
{
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    for (const auto& gauge : host.gauges()) {
        SCOPED_TRACE(gauge->name());
        EXPECT_NE(gauge->definition(), gauge->original());
        EXPECT_EQ(gauge->definition()->elements[0]->gauge, gauge->definition());
    }
}

TEST(DefaultPanelRun, FliesTheDemoFlightToTheEnd)
{
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    const Flight flight = demoFlight();
    FlightRunner runner(host, flight);
    runner.runFor(flight.duration);
    EXPECT_TRUE(runner.finished());
    EXPECT_TRUE(host.trapsCalled().empty());
    EXPECT_TRUE(host.probe().unknownVariables.empty());
    EXPECT_EQ(host.variables().getInteger(46) & 0x80u, 0x80u) << "the ILS approach flag is up at the end";
    size_t hovers = 0;
    for (const FlightLogEntry& entry : runner.log())
        hovers += entry.what.starts_with("hover");
    EXPECT_EQ(hovers, 3u);
}

}  // namespace
}  // namespace devhost
