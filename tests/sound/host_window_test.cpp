// Which window the click sounds are tied to: the host's main window, found
// by a class that only two characters of the host executable's name decide.
#include <gtest/gtest.h>

#include <string>

#include "sound/sound_slot.h"
#include "tests/sound/fake_platform.h"

namespace {

TEST(HostWindowClass, AFourthCharacterTwoOrAFirstCapitalCMeansTheNewerHost)
{
    EXPECT_STREQ(hostWindowClass("abc2"), "MSCFSMAIN");
    EXPECT_STREQ(hostWindowClass("fs92004"), "MSCFSMAIN") << "fourth character '2'";
    EXPECT_STREQ(hostWindowClass("CFS3"), "MSCFSMAIN");
    EXPECT_STREQ(hostWindowClass("C"), "MSCFSMAIN");
    EXPECT_STREQ(hostWindowClass("Cxx2yy"), "MSCFSMAIN");
}

TEST(HostWindowClass, EveryOtherNameMeansTheEarlierHost)
{
    EXPECT_STREQ(hostWindowClass("fs9"), "FS98MAIN");
    EXPECT_STREQ(hostWindowClass("fs2004"), "FS98MAIN") << "its fourth character is '0'";
    EXPECT_STREQ(hostWindowClass("cfs2"), "MSCFSMAIN") << "the fourth character alone decides here";
    EXPECT_STREQ(hostWindowClass("cfs3"), "FS98MAIN") << "a lower-case c is not a C";
    EXPECT_STREQ(hostWindowClass("2222"), "MSCFSMAIN");
    EXPECT_STREQ(hostWindowClass("222"), "FS98MAIN") << "no fourth character";
}

TEST(HostWindowClass, ShortEmptyOrMissingNamesReadNothingBeyondTheirEnd)
{
    // Each name sits in a buffer exactly its own size.
    for (const std::string name : {"", "a", "ab", "abc"}) {
        auto exact = std::make_unique<char[]>(name.size() + 1);
        std::copy(name.begin(), name.end(), exact.get());
        exact[name.size()] = '\0';
        EXPECT_STREQ(hostWindowClass(exact.get()), "FS98MAIN") << name;
    }
    EXPECT_STREQ(hostWindowClass(nullptr), "FS98MAIN");
}

class FindingTheHostWindow : public testing::Test {
protected:
    void SetUp() override { fake::reset(); }
};

TEST_F(FindingTheHostWindow, LooksForTheClassThatTheExecutableNameChooses)
{
    fake::platform().executableName = "CFS3";
    fake::platform().windows["MSCFSMAIN"] = fake::hostWindow();
    EXPECT_EQ(findHostWindow(), fake::hostWindow());
    ASSERT_EQ(fake::platform().classesSearched.size(), 1u);
    EXPECT_EQ(fake::platform().classesSearched[0], "MSCFSMAIN");
}

TEST_F(FindingTheHostWindow, AWindowOfTheOtherClassIsNotTaken)
{
    fake::platform().executableName = "fs9";
    fake::platform().windows["MSCFSMAIN"] = fake::hostWindow();
    EXPECT_EQ(findHostWindow(), nullptr);
    EXPECT_EQ(fake::platform().classesSearched.at(0), "FS98MAIN");
}

TEST_F(FindingTheHostWindow, AnUnknownExecutableNameLooksForTheEarlierHost)
{
    fake::platform().executableName = "";
    fake::platform().windows["FS98MAIN"] = fake::hostWindow();
    EXPECT_EQ(findHostWindow(), fake::hostWindow());
}

TEST_F(FindingTheHostWindow, AnOverlongExecutableNameIsCutNotOverrun)
{
    fake::platform().executableName = "C" + std::string(5000, 'x');
    fake::platform().windows["MSCFSMAIN"] = fake::hostWindow();
    EXPECT_EQ(findHostWindow(), fake::hostWindow());
}

}  // namespace
