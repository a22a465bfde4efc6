// The COM1 frequency as the host delivers it (host variable 23): four BCD
// digits after the leading 1 of the frequency in MHz, the last in 10 kHz.
// 0x1802 is 118.02, which stands for the 25-kHz channel 118.025.
#pragma once

#include <cmath>
#include <cstdint>

#include "framework/bcd.h"

// 118 for 0x1802, 135 for 0x3597.
constexpr double decodeComWholeMhz(uint32_t frequency) { return radioRegisterWholeMhz(frequency); }

// Hundredths of a MHz as delivered, 0 to 99: 2 for 0x1802, 97 for 0x3597.
constexpr double decodeComHundredths(uint32_t frequency) { return radioRegisterHundredths(frequency); }

// The channels x.x25 and x.x75 arrive cut to x.x2 and x.x7: a last digit 2
// or 7 gains the half hundredth it lost.
constexpr bool lostHalfHundredth(double lastDigit) { return lastDigit == 2 || lastDigit == 7; }

// A completed value ends in 2.5 or 7.5 and stays as it is, so completing
// again changes nothing.
inline double completeComHundredths(double hundredths)
{
    const double lastDigit = hundredths - std::floor(hundredths / 10) * 10;
    return lostHalfHundredth(lastDigit) ? hundredths + 0.5 : hundredths;
}

// The same straight from the register, in whole numbers: 2.5 for 0x1802.
constexpr double decodeComChannelHundredths(uint32_t frequency)
{
    const uint32_t hundredths = radioRegisterHundredths(frequency);
    return lostHalfHundredth(bcdDigit(frequency, 0)) ? hundredths + 0.5 : hundredths;
}
