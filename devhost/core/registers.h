// The host's own encodings of the radio registers: the frequencies and
// codes as binary-coded decimal, and the radio bands. The key-event engine
// steps these; the pilot's units (values.h) are converted to them.
#pragma once

#include <cstdint>
#include <optional>

namespace devhost {

// The radio bands, in the units each radio counts in.
inline constexpr int ComBottomKhz = 118000, ComTopKhz = 136975, ComStepKhz = 25;
inline constexpr int NavBottomKhz = 108000, NavTopKhz = 117950, NavStepKhz = 50;
inline constexpr int AdfBottomTenths = 1000, AdfTopTenths = 17999;  // 100.0 to 1799.9 kHz
inline constexpr uint32_t AdfThousandBit = 0x100;

uint32_t toBcd(uint32_t number);
std::optional<uint32_t> fromBcd(uint32_t bcd);  // nothing when a digit is above 9

// COM and NAV registers drop the leading 1 of the MHz and keep 10 kHz.
uint32_t radioRegister(int khz);
std::optional<int> radioKhz(uint32_t reg);

// The ADF frequency's two registers (adf_freq, adf_freq_ext) for tenths of kHz.
struct AdfRegisters {
    uint32_t frequency;
    uint32_t extension;
};
AdfRegisters adfRegisters(int tenths);

}  // namespace devhost
