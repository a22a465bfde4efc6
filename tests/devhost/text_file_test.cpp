// Panel files and flight scripts are read one way: a read that fails part
// way is an error naming the file, not a shorter file.
#include <gtest/gtest.h>

#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"

namespace devhost {
namespace {

TEST(TextFiles, AReadThatFailsPartWayIsRefusedForPanelsAndFlightsAlike)
{
    // Opens, then fails its first read (EIO).
    const std::string failing = "/proc/self/mem";
    EXPECT_THROW(
        try { loadPanel(failing); } catch (const PanelError& e) {
            EXPECT_EQ(std::string(e.what()), failing + ": cannot be read (the read failed part way)");
            throw;
        },
        PanelError);
    EXPECT_THROW(loadFlight(failing), FlightError);
}

}  // namespace
}  // namespace devhost
