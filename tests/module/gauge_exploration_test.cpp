// A gauge explored as `devhost describe` explores it, in the process: the
// exploration ends with the host's shut-down notice and its condition.
#include <gtest/gtest.h>

#include <vector>

#include "devhost/core/gauge_exploration.h"
#include "tests/module/switch_support.h"

namespace {

TEST(GaugeExploration, EndsWithTheShutDownNoticeOnWhichTheShutDownAreaSilencesTheTones)
{
    moduletest::playIntoNothing();
    devhost::Host host{devhost::moduleUnderTest()};
    const devhost::GaugeExploration found = devhost::exploreGauge(host, "Shut_Down", "");
    EXPECT_EQ(found.sends, (std::vector<uint32_t>{65836, 65832, 65833}))
        << "the tones go off only on service code 14 with host variable 60 set";
}

}  // namespace
