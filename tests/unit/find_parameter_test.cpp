#include "framework/find_parameter.h"

#include <gtest/gtest.h>

namespace {

TEST(FindParameter, FindsTheFirstOccurrenceBeforeEveryMarker)
{
    const char* text = "o50 c75 o60";
    EXPECT_EQ(findParameter(text, "o"), text);
    EXPECT_EQ(findParameter(text, "c"), text + 4);
    EXPECT_EQ(findParameter(text, "75"), text + 5);
    const char* withMarkers = "r255/g0#b0'x";
    EXPECT_EQ(findParameter(withMarkers, "r"), withMarkers);
}

TEST(FindParameter, IgnoresKeysBehindSlashHashOrApostrophe)
{
    EXPECT_EQ(findParameter("oMAIN_PANEL/cGPS_PANEL", "c"), nullptr);
    EXPECT_EQ(findParameter("oMAIN_PANEL#cGPS_PANEL", "c"), nullptr);
    EXPECT_EQ(findParameter("oMAIN_PANEL'cGPS_PANEL", "c"), nullptr);
    // A key that appears both before and after a marker counts at its first place.
    const char* text = "c1/c2";
    EXPECT_EQ(findParameter(text, "c"), text);
}

TEST(FindParameter, AnyMarkerAnywhereBeforeTheKeyHidesIt)
{
    // The markers are looked for independently: the earliest of each counts.
    EXPECT_EQ(findParameter("a#b/c", "c"), nullptr);
    EXPECT_EQ(findParameter("'x2", "2"), nullptr);
    // Markers after the key do not matter.
    const char* text = "2/#'";
    EXPECT_EQ(findParameter(text, "2"), text);
}

TEST(FindParameter, TextStartingWithHashFindsNothing)
{
    EXPECT_EQ(findParameter("#r0", "r"), nullptr);
    EXPECT_EQ(findParameter("#", "#"), nullptr);
    EXPECT_EQ(findParameter("/t", "t"), nullptr);
}

TEST(FindParameter, RescanningFromAfterAMatchLooksForMarkersFromThere)
{
    // The toggle buttons scan "o50 o75" by calling again after each match.
    const char* text = "o50/x o75";
    const char* first = findParameter(text, "o");
    ASSERT_EQ(first, text);
    EXPECT_EQ(findParameter(first + 1, "o"), nullptr);  // the slash now lies before it
    const char* clean = "o50 o75";
    const char* again = findParameter(findParameter(clean, "o") + 1, "o");
    EXPECT_EQ(again, clean + 4);
}

TEST(FindParameter, AbsentTextOrKeyFindsNothing)
{
    EXPECT_EQ(findParameter(nullptr, "1"), nullptr);
    EXPECT_EQ(findParameter("1", nullptr), nullptr);
    EXPECT_EQ(findParameter("", "1"), nullptr);
    EXPECT_EQ(findParameter("abc", "abcd"), nullptr);
}

TEST(FindParameter, EmptyKeyMatchesAtTheStartUnlessTheTextStartsWithAMarker)
{
    const char* text = "abc";
    EXPECT_EQ(findParameter(text, ""), text);
    EXPECT_EQ(findParameter("/abc", ""), nullptr);
}

}  // namespace
