#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/cli/devhost_run.h"

namespace devhost::testing {
namespace {

// The user names a driver, SDL's disk driver into a file: the commands
// that play open it for the COM radio's main switch, the ones that only
// draw never do.
TEST(Sound, OnlyTheCommandsThatPlayOpenTheDriverNamed)
{
    struct Case {
        const char* command;
        bool opens;
    };
    const Case cases[] = {
        {"click --gauge Radio_COM_SK10 --at 45,46", true},
        {"render --gauge Radio_COM_SK10 --click 45,46 -o com.png", false},
    };
    const std::string clicks = scratchFolder() + "/clicks.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", clicks.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    for (const Case& c : cases) {
        std::filesystem::remove(clicks);
        ASSERT_EQ(devhost(c.command).status, 0) << c.command;
        EXPECT_EQ(std::filesystem::exists(clicks), c.opens) << c.command;
    }
    setenv("SDL_AUDIODRIVER", "none", 1);
    unsetenv("SDL_DISKAUDIOFILE");
}

}  // namespace
}  // namespace devhost::testing
