// The radios read their frequencies from BCD registers: the digits they
// decode, the 25-kHz channels the COM radio completes, and what becomes of
// a register that holds no BCD at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "framework/bcd.h"
#include "framework/radio_knob.h"
#include "radios/com/com_frequency.h"
#include "radios/nav/nav_frequency.h"

namespace {

TEST(BcdDigits, EachNibbleIsOneDecimalDigitReadFromTheLowestUp)
{
    EXPECT_EQ(bcdDigit(0x1795, 0), 5u);
    EXPECT_EQ(bcdDigit(0x1795, 1), 9u);
    EXPECT_EQ(bcdDigit(0x1795, 3), 1u);
    EXPECT_EQ(bcdNumber(0x1795, 0, 2), 95u);
    EXPECT_EQ(bcdNumber(0x1795, 2, 2), 17u);
    EXPECT_EQ(bcdNumber(0x12345, 0, 5), 12345u);
    EXPECT_EQ(bcdNumber(0x7777, 0, 4), 7777u);
}

TEST(BcdDigits, ANibbleBeyondNineReadsAsNineAndPositionsBeyondTheWordAsZero)
{
    EXPECT_EQ(bcdDigit(0xA, 0), 9u);
    EXPECT_EQ(bcdDigit(0xF0, 1), 9u);
    EXPECT_EQ(bcdNumber(0xFFFFFFFF, 0, 8), 99999999u);
    EXPECT_EQ(bcdDigit(0xFFFFFFFF, 8), 0u);
    EXPECT_EQ(bcdNumber(0x12, 0, 12), 12u) << "digits above the word count as leading zeros";
}

struct Decoders {
    double (*wholeMhz)(uint32_t);
    double (*hundredths)(uint32_t);
};
const Decoders com{decodeComWholeMhz, decodeComHundredths}, nav{decodeNavWholeMhz, decodeNavHundredths};

TEST(RadioFrequencies, TheRegisterHoldsTheDigitsAfterTheLeadingOne)
{
    struct Reading {
        Decoders radio;
        uint32_t frequency;
        double wholeMhz, hundredths;
    };
    for (Reading r : {Reading{com, 0x1802, 118, 2}, {com, 0x3597, 135, 97}, {com, 0x2450, 124, 50},
                      {com, 0x3609, 136, 9},  // a low byte below 16 is its own digit
                      {nav, 0x1095, 110, 95}, {nav, 0x0895, 108, 95}, {nav, 0x0805, 108, 5},
                      {nav, 0x1795, 117, 95}, {nav, 0x1005, 110, 5}}) {
        EXPECT_EQ(r.radio.wholeMhz(r.frequency), r.wholeMhz) << std::hex << r.frequency;
        EXPECT_EQ(r.radio.hundredths(r.frequency), r.hundredths) << std::hex << r.frequency;
    }
}

TEST(RadioFrequencies, ARegisterThatIsNoFrequencyStaysWithinTheDigitsItHas)
{
    // Below 0x1000 the register names a frequency below 110 MHz: it reads
    // as one, never as a wrapped-around number of millions.
    EXPECT_EQ(decodeComWholeMhz(0x0000), 100.0);
    EXPECT_EQ(decodeComWholeMhz(0x0805), 108.0);
    EXPECT_EQ(decodeComHundredths(0x0805), 5.0);
    EXPECT_EQ(decodeComWholeMhz(0x80001800u), 118.0) << "bits above the four digits are no part of it";
    for (Decoders radio : {com, nav})
        for (uint32_t v : {0xFFFFFFFFu, 0xFFFFu, 0xABCDu, 0x1AFFu, 0x00FFu, 0x80001800u}) {
            EXPECT_GE(radio.wholeMhz(v), 100.0) << std::hex << v;
            EXPECT_LE(radio.wholeMhz(v), 199.0) << std::hex << v;
            EXPECT_GE(radio.hundredths(v), 0.0) << std::hex << v;
            EXPECT_LE(radio.hundredths(v), 99.0) << std::hex << v;
        }
}

TEST(ComChannels, ALastDigitTwoOrSevenGainsTheHalfHundredthItLost)
{
    EXPECT_EQ(completeComHundredths(2), 2.5);
    EXPECT_EQ(completeComHundredths(7), 7.5);
    EXPECT_EQ(completeComHundredths(97), 97.5);
    EXPECT_EQ(completeComHundredths(52), 52.5);
    for (double stays : {0.0, 5.0, 50.0, 95.0, 3.0, 99.0})
        EXPECT_EQ(completeComHundredths(stays), stays);
}

TEST(ComChannels, CompletingTwiceChangesNothingMore)
{
    for (double h : {2.0, 7.0, 97.0, 42.0})
        EXPECT_EQ(completeComHundredths(completeComHundredths(h)), completeComHundredths(h));
}

TEST(ComChannels, NotANumberStaysNotANumberAndNothingElseHappens)
{
    EXPECT_TRUE(std::isnan(completeComHundredths(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(completeComHundredths(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

TEST(KnobClicks, TheLeftButtonAsksForTheFineStepTheRightForTheCoarseBothCountAsLeft)
{
    EXPECT_EQ(knobStepOf(ClickLeft), KnobStepSize::Fine);
    EXPECT_EQ(knobStepOf(ClickLeft | ClickRepeat), KnobStepSize::Fine);
    EXPECT_EQ(knobStepOf(ClickRight), KnobStepSize::Coarse);
    EXPECT_EQ(knobStepOf(ClickRight | ClickLeft), KnobStepSize::Fine);
    EXPECT_EQ(knobStepOf(ClickMiddle), KnobStepSize::None);
    EXPECT_EQ(knobStepOf(0), KnobStepSize::None);
    EXPECT_EQ(KnobClicks, 0xA0200000u);
}

}  // namespace
