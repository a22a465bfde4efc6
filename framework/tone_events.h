// The receivers' identifier-tone key events. Each radio sends its own as its
// tone and main switches say; the shut-down gauge sends the off events of
// all of them when the host shuts the aircraft down.
#pragma once

#include <cstdint>

inline constexpr uint32_t AdfToneOn = 65841;  // 0x10131
inline constexpr uint32_t AdfToneOff = 65836;  // 0x1012C
inline constexpr uint32_t Nav1ToneOn = 65837;  // 0x1012D
inline constexpr uint32_t Nav1ToneOff = 65832;  // 0x10128
inline constexpr uint32_t Nav2ToneOff = 65833;  // 0x10129: no radio of ours, silenced with the rest
