// The ADF receiver's arithmetic, free of the host: reading the frequency out
// of its two host registers, the band it lies in, where the scale disc then
// stands, the text in the scale window and how far the tuning knob may go.
// Radio_ADF_EZ6 (radio_adf.cpp) calls these with what it read from the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "framework/bcd.h"
#include "framework/gauge_model.h"

// The extension register carries the thousands digit in this bit, the tenths
// of kHz below it.
inline constexpr uint32_t AdfThousandsBit = 0x100;

// Whole kHz below 1000 from the frequency register (BCD hundreds, tens,
// units: 0x0345 is 345). Bits above the hundreds digit are no part of the
// frequency, and a nibble that is no decimal digit (the host never sends
// one) reads as 9, so a decoded frequency never leaves the receiver's
// 0-1999.9 kHz.
constexpr double decodeAdfKhzBelowThousand(uint32_t frequency) { return bcdNumber(frequency, 0, 3); }

// The thousand kHz of the extension (0x100 and above).
constexpr double decodeAdfThousandKhz(uint32_t extension) { return extension >= AdfThousandsBit ? 1000.0 : 0.0; }

// Whole kHz from both registers.
constexpr double decodeAdfWholeKhz(uint32_t frequency, uint32_t extension)
{
    return decodeAdfThousandKhz(extension) + decodeAdfKhzBelowThousand(frequency);
}

// Tenths of kHz: the extension below its thousands bit (0x0105 gives 5).
constexpr double decodeAdfTenths(uint32_t extension) { return bcdDigit(extension, 0); }

// What the extension adds to the frequency, in kHz, decoded on its own so
// that each register is decoded only when it changes.
struct AdfExtension {
    double thousandKhz;
    double tenthsKhz;
};

constexpr AdfExtension decodeAdfExtension(uint32_t extension)
{
    return {.thousandKhz = decodeAdfThousandKhz(extension), .tenthsKhz = decodeAdfTenths(extension) / 10.0};
}

// The digits of n written in base `from`, read as a number in base `to`:
// rebaseDigits(4100, 10, 16) is 0x4100. A 32-bit value has at most 32
// digits in any base of 2 or more, so the loop ends; a base below 2 has no
// digits to rewrite and gives n back.
constexpr uint32_t rebaseDigits(uint32_t n, uint32_t from, uint32_t to)
{
    if (from < 2)
        return n;
    uint32_t digits[32] = {};
    int count = 0;
    for (; n != 0 && count < 32; n /= from)
        digits[count++] = n % from;
    uint32_t result = 0;
    while (count > 0)
        result = result * to + digits[--count];
    return result;
}

// ---------------------------------------------------------------- bands

// Band numbers 1 to 3; 0 for anything else, which no band handler produces.
constexpr int adfBandIndex(double band)
{
    if (band == 1.0)
        return 1;
    if (band == 2.0)
        return 2;
    if (band == 3.0)
        return 3;
    return 0;
}

// The band whose scale shows f: each band keeps its upper edge, so 410.0
// and 850.0 kHz read on the lower band's ring.
constexpr double adfBandFor(double khz)
{
    if (khz <= 410.0)
        return 1.0;
    return khz <= 850.0 ? 2.0 : 3.0;
}

// Where the scale disc stands, in degrees, for f on the ring of its band.
// The rings are engraved at 0.5, 0.4 and 0.3 degrees per kHz from their
// lower edges (200, 410, 850 kHz).
constexpr double adfScaleValue(double band, double khz)
{
    switch (adfBandIndex(band)) {
    case 1: return (khz - 200.0) * 5.0 / 10.0;
    case 2: return (khz - 410.0) * 4.0 / 10.0;
    case 3: return (khz - 850.0) * 3.0 / 10.0;
    default: return 0.0;
    }
}

// What the band selector's tooltip prints.
constexpr const char* adfBandText(double band)
{
    switch (adfBandIndex(band)) {
    case 1: return "200-410";
    case 2: return "410-850";
    case 3: return "850-1750";
    default: return "Off ";
    }
}

// Where the band knob's pointer stands: left of the top for band 1, right
// for band 2, straight down for band 3, under the front's band labels.
constexpr double adfBandKnobValue(double band)
{
    switch (adfBandIndex(band)) {
    case 1: return 300.0;
    case 2: return 60.0;
    case 3: return 180.0;
    default: return 0.0;
    }
}

// ---------------------------------------------------------------- tuning

// A left click moves 0.5 kHz (five tenth-steps), a right click 5 kHz (five
// 1-kHz steps). The limits keep a click from carrying the frequency over
// the band's edge: a fine step up is allowed up to 0.5 kHz below the top.
struct AdfBandLimits {
    double fineUp, coarseUp, fineDown, coarseDown;
};

inline constexpr AdfBandLimits AdfLimits[] = {
    {.fineUp = 409.5, .coarseUp = 405.0, .fineDown = 200.5, .coarseDown = 205.0},
    {.fineUp = 849.5, .coarseUp = 845.0, .fineDown = 410.5, .coarseDown = 415.0},
    {.fineUp = 1749.5, .coarseUp = 1745.0, .fineDown = 850.5, .coarseDown = 855.0},
};

inline constexpr uint32_t AdfTenthUp = 66462;    // 0x1039e
inline constexpr uint32_t AdfTenthDown = 66461;  // 0x1039d
inline constexpr uint32_t AdfWholeUp = 66542;    // 0x103ee
inline constexpr uint32_t AdfWholeDown = 66543;  // 0x103ef
inline constexpr int AdfStepsPerClick = 5;

// What one click on a half of the tuning knob does: the key event to send
// AdfStepsPerClick times and the knob's turn in its units, or no event.
struct AdfTuningStep {
    uint32_t keyEvent = 0;  // 0: the click does nothing
    double knobTurn = 0.0;
};

// The right-click bit wins over the left-click bit. The power is the
// caller's to test.
constexpr AdfTuningStep adfTuningStep(double band, double khz, uint32_t clickFlags, bool up)
{
    int index = adfBandIndex(band);
    if (index == 0)
        return {};
    const AdfBandLimits& limits = AdfLimits[index - 1];
    if (clickFlags & ClickRight) {
        bool within = up ? khz <= limits.coarseUp : khz >= limits.coarseDown;
        if (!within)
            return {};
        return up ? AdfTuningStep{AdfWholeUp, 5.0} : AdfTuningStep{AdfWholeDown, -5.0};
    }
    if (clickFlags & ClickLeft) {
        bool within = up ? khz <= limits.fineUp : khz >= limits.fineDown;
        if (!within)
            return {};
        return up ? AdfTuningStep{AdfTenthUp, 1.0} : AdfTuningStep{AdfTenthDown, -1.0};
    }
    return {};
}

// ---------------------------------------------------------------- the window text

// The frequency to 0.1 kHz in six characters, leading zero below 1000 kHz
// ("0345.5", "1234.0"), written into `text` of `capacity` bytes and never
// beyond it.
inline void writeAdfFrequency(char* text, size_t capacity, double khz)
{
    if (!text || capacity == 0)
        return;
    std::snprintf(text, capacity, khz < 1000.0 ? "%06.1f" : "%6.1f", khz);
}
