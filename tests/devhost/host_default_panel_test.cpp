// The real module on the built-in panel, as the simulator would run it.
#include <gtest/gtest.h>

#include <set>

#include "devhost/core/host.h"

namespace devhost {
namespace {

TEST(DefaultPanel, PlacesEveryGaugeOfTheModule)
{
    Host host(moduleUnderTest());
    EXPECT_EQ(host.gaugeList().size(), GaugeCount);
    EXPECT_TRUE(host.placePanel(defaultPanel()).empty()) << "the built-in panel names only this module's gauges";
    std::set<std::string> placed;
    for (const auto& gauge : host.gauges())
        placed.insert(gauge->name());
    EXPECT_EQ(placed.size(), GaugeCount);
}

TEST(DefaultPanel, FramesRunWithoutAServiceTheHostLacksOrAVariableItDoesNotKnow)
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

TEST(DefaultPanel, EveryPlacedGaugeHasItsOwnRecords)
{
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    for (const auto& gauge : host.gauges()) {
        SCOPED_TRACE(gauge->name());
        EXPECT_NE(gauge->definition(), gauge->original());
        EXPECT_EQ(gauge->definition()->elements[0]->gauge, gauge->definition());
    }
}

}  // namespace
}  // namespace devhost
