// `devhost panel`: edits from a script change exactly their lines, the
// layout shown with what to look at, and a file that cannot be written is
// left as it was with the reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "devhost_run.h"

namespace devhost {
namespace {

using namespace devhost::testing;

// CR LF and LF lines, tabs, comments, an unknown section, two Airspeeds.
const std::string Base = "[Window Titles]\r\n"
                         "Window00=Main\r\n"
                         "[Window00]\r\n"
                         "size_mm=400,300   ; wide\r\n"
                         "ident=MAIN_PANEL\r\n"
                         "gauge00=Vardex_Instr!Airspeed,\t10,\t10,\t150,\t165\r\n"
                         "gauge02=fs9gps!gps_500, 300, 10, 150, 100 // theirs\r\n"
                         "\n"
                         "[Mine]\n"
                         "anything=at all\n"
                         "[Window01]\r\n"
                         "size_mm=300,200\r\n"
                         "ident=0\r\n"
                         "gauge00=Vardex_Instr!Airspeed, 0, 0, 150, 165\r\n";

std::string replaced(const std::string& from, const std::string& to, std::string text = Base)
{
    return text.replace(text.find(from), from.size(), to);
}

TEST(PanelCommand, EditsChangeExactlyTheirLines)
{
    const struct {
        const char* args;
        std::string from, to, from2 = {}, to2 = {};
    } cases[] = {
        {"move p.cfg gauge00 --window Main --to 20,30", "\t10,\t10,", "\t20,\t30,"},
        {"move p.cfg fs9gps!gps_500 --to 5,6,70,80", "300, 10, 150, 100 //", "5, 6, 70, 80 //"},
        {"add p.cfg Vardex_Instr!Junghans_Timer --to 1,2 --window 0", "theirs\r\n",
         "theirs\r\ngauge03=Vardex_Instr!Junghans_Timer, 1, 2\r\n"},
        {"move p.cfg gps_500 --into 1 --to 1,2", "gauge02=fs9gps!gps_500, 300, 10, 150, 100 // theirs\r\n", "",
         "0, 0, 150, 165\r\n", "0, 0, 150, 165\r\ngauge01=fs9gps!gps_500, 1, 2, 150, 100\r\n"},
        {"remove p.cfg Airspeed --window 1", "gauge00=Vardex_Instr!Airspeed, 0, 0, 150, 165\r\n", ""},
        {"window p.cfg 1 --size-mm 320,240 --title Radios", "Main\r\n", "Main\r\nWindow01=Radios\r\n", "300,200",
         "320,240"},
    };
    for (const auto& c : cases) {
        writeScratch("p.cfg", Base);
        std::filesystem::remove(scratchFolder() + "/p.cfg.bak");
        const Outcome outcome = devhost(std::string("panel ") + c.args);
        EXPECT_EQ(outcome.status, 0) << c.args << ": " << outcome.err;
        const std::string expected = replaced(c.from, c.to);
        EXPECT_EQ(readScratch("p.cfg"), c.from2.empty() ? expected : replaced(c.from2, c.to2, expected)) << c.args;
        EXPECT_EQ(readScratch("p.cfg.bak"), Base) << c.args;
    }
}

TEST(PanelCommand, ShowsTheLayoutWithWarnings)
{
    writeScratch("p.cfg", Base);
    const Outcome shown = devhost("panel show p.cfg");
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("0       gauge02    fs9gps!gps_500                          300     10   150   100"),
              std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("warning: p.cfg:7: fs9gps!gps_500 sticks out of its window (300,10 to 450,110 in 400x300)"),
              std::string::npos);
    EXPECT_NE(shown.out.find("warning: p.cfg:11: ident 0 is also the ident of the window at line 3"), std::string::npos);
    EXPECT_NE(shown.out.find("3 warnings"), std::string::npos) << shown.out;
}

TEST(PanelCommand, RefusesWithTheReasonAndLeavesTheFile)
{
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"move p.cfg Airspeed --to 1,1", "'Airspeed' names 2 gauges: window 0 gauge00"},
        {"move p.cfg Airspeed --window 0 --to 1", "expected X,Y or X,Y,W,H"},
        {"add p.cfg Vardex_Instr!Junghans_Timr --to 1,1 --window 0", "no gauge 'Junghans_Timr' (did you mean Junghans_Timer?)"},
        {"move ro.cfg Airspeed --window 0 --to 1,1", "ro.cfg: is read-only; nothing written"},
    };
    for (const auto& c : cases) {
        writeScratch("p.cfg", Base);
        writeScratch("ro.cfg", Base);
        std::filesystem::permissions(scratchFolder() + "/ro.cfg", std::filesystem::perms::owner_read);
        const Outcome outcome = devhost(std::string("panel ") + c.args);
        EXPECT_NE(outcome.status, 0) << c.args;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << c.args << ": " << outcome.err;
        EXPECT_EQ(readScratch("p.cfg"), Base);
        EXPECT_EQ(readScratch("ro.cfg"), Base);
        std::filesystem::remove(scratchFolder() + "/ro.cfg");
    }
}

}  // namespace
}  // namespace devhost
