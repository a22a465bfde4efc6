// The NAV1 frequency as the host delivers it (host variable 24): four BCD
// digits after the leading 1 of the frequency in MHz, the upper two the
// tens and units above 100, the lower two the tenths and hundredths.
// 0x1095 is 110.95 MHz, 0x0805 is 108.05 MHz.
#pragma once

#include <cstdint>

#include "framework/bcd.h"

// 110 for 0x1095, 108 for 0x0895, 117 for 0x1795.
constexpr double decodeNavWholeMhz(uint32_t frequency) { return radioRegisterWholeMhz(frequency); }

// 0 to 99: 95 for 0x1095, 5 for 0x1005.
constexpr double decodeNavHundredths(uint32_t frequency) { return radioRegisterHundredths(frequency); }
