// The transponder's code register and the digit each wheel shows.
#include <gtest/gtest.h>

#include <cstdint>

#include "radios/xpdr/transponder_code.h"

namespace {

TEST(TransponderCode, OneDigitPerFourBitGroupThousandsHighest)
{
    EXPECT_EQ(decodeTransponderCode(0x7700), 7700);
    EXPECT_EQ(decodeTransponderCode(0x1200), 1200);
    EXPECT_EQ(decodeTransponderCode(0x0007), 7);
    EXPECT_EQ(decodeTransponderCode(0), 0);
}

TEST(TransponderCode, WhateverElseTheRegisterHoldsTheCodeHasFourDigits)
{
    EXPECT_EQ(decodeTransponderCode(0x12345), 2345) << "only the four groups of a code count";
    EXPECT_EQ(decodeTransponderCode(0xFFFFFFFF), 9999);
    EXPECT_EQ(decodeTransponderCode(0x7A00), 7900) << "a group above 9 reads as 9";
}

TEST(TransponderDigits, EachWheelTakesItsOwnDigit)
{
    EXPECT_EQ(transponderThousands(7700), 7);
    EXPECT_EQ(transponderHundreds(7700), 7);
    EXPECT_EQ(transponderTens(7700), 0);
    EXPECT_EQ(transponderUnits(7700), 0);
    EXPECT_EQ(transponderThousands(1234), 1);
    EXPECT_EQ(transponderHundreds(1234), 2);
    EXPECT_EQ(transponderTens(1234), 3);
    EXPECT_EQ(transponderUnits(1234), 4);
    EXPECT_EQ(transponderThousands(9999), 9);
    EXPECT_EQ(transponderUnits(9999), 9);
}

}  // namespace
