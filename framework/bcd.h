// Binary-coded decimal as the host delivers radio frequencies and codes: one
// decimal digit in each 4-bit nibble of the low 32 bits of a value slot.
//
// The host is trusted to deliver digits 0 to 9, but a value that is not BCD
// must not make a display run away: a nibble above 9 reads as 9, and only
// the nibbles asked for count, so every result stays within the digits'
// own range and nothing wraps.
#pragma once

#include <cstdint>

inline constexpr uint32_t BcdDigitsPerWord = 8;

// The decimal digit in nibble `position` (0 = the lowest) of `word`; 0 for a
// position beyond the word.
constexpr uint32_t bcdDigit(uint32_t word, uint32_t position)
{
    if (position >= BcdDigitsPerWord)
        return 0;
    const uint32_t nibble = (word >> (4 * position)) & 0x0F;
    return nibble > 9 ? 9 : nibble;
}

// The number that `count` digits of `word` spell, from nibble `lowest` up:
// bcdNumber(0x1795, 2, 2) is 17, bcdNumber(0x1795, 0, 2) is 95.
constexpr uint32_t bcdNumber(uint32_t word, uint32_t lowest, uint32_t count)
{
    uint32_t number = 0;
    for (uint32_t i = count; i > 0; --i)
        number = number * 10 + bcdDigit(word, lowest + i - 1);
    return number;
}

// The COM and NAV frequency registers: four digits after the leading 1 of
// the frequency in MHz, 10 kHz in the last digit (0x1802 is 118.02 MHz,
// 0x0805 is 108.05 MHz).
constexpr uint32_t radioRegisterWholeMhz(uint32_t word) { return 100 + bcdNumber(word, 2, 2); }
constexpr uint32_t radioRegisterHundredths(uint32_t word) { return bcdNumber(word, 0, 2); }
