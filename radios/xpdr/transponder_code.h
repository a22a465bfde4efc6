// The transponder's arithmetic, free of the host: the code out of its host
// register, and the digit that each wheel and knob pointer shows.
// Radio_XPDR_FUG25A6 (radio_xpdr.cpp) calls these with what it read.
#pragma once

#include <cmath>
#include <cstdint>

// The code as a four-digit decimal number from the register, one digit per
// 4-bit group, thousands highest (0x1200 gives 1200). Only the four groups
// of a code count, so whatever else the register holds, the result stays
// within 0 to 9999 and every digit within its wheel: a group above 9 (the
// host never sends one) reads as 9.
inline double decodeTransponderCode(uint32_t code)
{
    double v = code & 0xFFFF;
    double d1 = std::floor(v / 4096);
    double r = v - 4096 * d1;
    double d2 = std::floor(r / 256);
    r -= 256 * d2;
    double d3 = std::floor(r / 16);
    double d4 = r - 16 * d3;
    auto decimal = [](double digit) { return digit > 9 ? 9.0 : digit; };
    return 1000 * decimal(d1) + 100 * decimal(d2) + 10 * decimal(d3) + decimal(d4);
}

// The digits of the code c (0 to 9999).
inline double transponderThousands(double c) { return std::floor(c / 1000); }
inline double transponderHundreds(double c) { return std::floor((c - 1000 * std::floor(c / 1000)) / 100); }
inline double transponderTens(double c) { return std::floor((c - 100 * std::floor(c / 100)) / 10); }
inline double transponderUnits(double c) { return c - 10 * std::floor(c / 10); }
