// The transponder's arithmetic, free of the host: the code out of its host
// register, and the digit that each wheel and knob pointer shows.
// Radio_XPDR_FUG25A6 (radio_xpdr.cpp) calls these with what it read.
#pragma once

#include <cstdint>

#include "framework/bcd.h"

inline constexpr uint32_t TransponderCodeDigits = 4;

// The code as a four-digit decimal number from the register, one digit per
// 4-bit group, thousands highest (0x1200 gives 1200). Only the four groups
// of a code count, so whatever else the register holds, the result stays
// within 0 to 9999 and every digit within its wheel: a group above 9 (the
// host never sends one) reads as 9.
constexpr uint32_t decodeTransponderCode(uint32_t code) { return bcdNumber(code, 0, TransponderCodeDigits); }

// The four digits as the wheels and knob pointers take them, decoded once
// from the register in whole numbers.
struct TransponderDigits {
    double thousands;
    double hundreds;
    double tens;
    double units;
};

constexpr TransponderDigits transponderDigits(uint32_t code)
{
    return {.thousands = double(bcdDigit(code, 3)),
            .hundreds = double(bcdDigit(code, 2)),
            .tens = double(bcdDigit(code, 1)),
            .units = double(bcdDigit(code, 0))};
}
