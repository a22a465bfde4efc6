// The ADF receiver's arithmetic: decoding the two registers, rewriting the
// band edges' digits, the bands and their scale, the tuning limits and the
// window text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "radios/adf/adf_frequency.h"

namespace {

double decode(uint32_t frequency, uint32_t extension)
{
    return decodeAdfWholeKhz(frequency, extension) + decodeAdfTenths(extension) / 10.0;
}

TEST(AdfDecoding, TheTwoRegistersGiveTheFrequencyToATenth)
{
    EXPECT_EQ(decode(0x0345, 0x0005), 345.5);
    EXPECT_EQ(decode(0x0234, 0x0100), 1234.0);
    EXPECT_EQ(decode(0x0345, 0x0105), 1345.5);
    EXPECT_EQ(decode(0x0199, 0x0000), 199.0);
    EXPECT_EQ(decodeAdfTenths(0x0109), 9.0);
}

TEST(AdfDecoding, RegistersThatAreNoBcdStayWithinTheReceiversRange)
{
    EXPECT_EQ(decode(0xFFFFFFFF, 0xFFFFFFFF), 1999.9);
    EXPECT_EQ(decode(0x0ABC, 0x000F), 999.9) << "digits above 9 read as 9";
    EXPECT_EQ(decodeAdfWholeKhz(0x12345, 0), 345.0) << "bits above the hundreds are no part of it";
}

TEST(AdfRebase, TheBandEdgesBecomeTheSetEventsBcd)
{
    EXPECT_EQ(rebaseDigits(4100, 10, 16), 0x4100u);
    EXPECT_EQ(rebaseDigits(8500, 10, 16), 0x8500u);
    EXPECT_EQ(rebaseDigits(0, 10, 16), 0u);
    EXPECT_EQ(rebaseDigits(0x4100, 16, 10), 4100u);
}

TEST(AdfRebase, AnyInputEndsWithoutOverflowingTheDigits)
{
    constexpr uint32_t most = std::numeric_limits<uint32_t>::max();
    EXPECT_EQ(rebaseDigits(most, 2, 2), most) << "32 binary digits, the most there can be";
    EXPECT_EQ(rebaseDigits(most, 10, 10), most);
    EXPECT_EQ(rebaseDigits(1234, 1, 16), 1234u) << "a base of 1 has no digits: n comes back";
    EXPECT_EQ(rebaseDigits(1234, 0, 16), 1234u) << "nor has 0, and nothing divides by it";
    rebaseDigits(most, 10, 16);  // wraps, as unsigned arithmetic does, but ends
}

struct Click {
    double band, khz;
    uint32_t flags;
    bool up;
    uint32_t keyEvent;
    double knobTurn;
};

// The limits of every band and direction; the host-level tests fly band 1 up and band 3 down.
TEST(AdfTuning, EachClickStopsWhereTheNextWouldLeaveTheBand)
{
    for (Click c : {Click{1, 200.5, ClickLeft, false, AdfTenthDown, -1}, Click{1, 200.4, ClickLeft, false, 0, 0},
                    Click{2, 415.0, ClickRight, false, AdfWholeDown, -5}, Click{2, 414.9, ClickRight, false, 0, 0},
                    Click{2, 845.0, ClickRight, true, AdfWholeUp, 5}, Click{2, 849.6, ClickLeft, true, 0, 0},
                    Click{3, 1749.5, ClickLeft, true, AdfTenthUp, 1}, Click{3, 1749.6, ClickLeft, true, 0, 0},
                    Click{3, 1000, 0, true, 0, 0}, Click{0, 300, ClickLeft, true, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << "band " << c.band << " at " << c.khz << (c.up ? " up" : " down"));
        AdfTuningStep step = adfTuningStep(c.band, c.khz, c.flags, c.up);
        EXPECT_EQ(step.keyEvent, c.keyEvent);
        EXPECT_EQ(step.knobTurn, c.knobTurn);
    }
}

TEST(AdfWindowText, SixCharactersWithALeadingZeroBelowAThousand)
{
    char text[7];
    writeAdfFrequency(text, sizeof text, 345.5);
    EXPECT_STREQ(text, "0345.5");
    writeAdfFrequency(text, sizeof text, 1234.0);
    EXPECT_STREQ(text, "1234.0");
    writeAdfFrequency(text, sizeof text, 99.9);
    EXPECT_STREQ(text, "0099.9");
}

TEST(AdfWindowText, NeverWritesPastTheBuffer)
{
    char text[10];
    std::memset(text, '#', sizeof text);
    volatile double farTooHigh = 123456.0;  // unknown to the compiler, as a host value is
    writeAdfFrequency(text, 7, farTooHigh);
    EXPECT_STREQ(text, "123456");
    EXPECT_EQ(text[7], '#');
    writeAdfFrequency(text, 0, 345.5);
    EXPECT_STREQ(text, "123456") << "no room, nothing written";
    writeAdfFrequency(nullptr, 7, 345.5);
}

}  // namespace
