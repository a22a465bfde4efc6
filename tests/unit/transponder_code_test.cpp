// The transponder's code register, whatever it holds. (Codes as the host
// sends them: transponder_test.cpp.)
#include <gtest/gtest.h>

#include <cstdint>

#include "radios/xpdr/transponder_code.h"

namespace {

TEST(TransponderCode, WhateverElseTheRegisterHoldsTheCodeHasFourDigits)
{
    EXPECT_EQ(decodeTransponderCode(0x12345), 2345) << "only the four groups of a code count";
    EXPECT_EQ(decodeTransponderCode(0xFFFFFFFF), 9999);
    EXPECT_EQ(decodeTransponderCode(0x7A00), 7900) << "a group above 9 reads as 9";
}

}  // namespace
