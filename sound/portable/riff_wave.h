// The RIFF/WAVE reading of a click clip, as the Windows multimedia file
// calls do it for the .gau: find the RIFF chunk of form "WAVE", in it the
// "fmt " chunk, read 18 bytes there as the wave format (format record and
// its extra-size field), step past "fmt ", find the "data" chunk, take its
// bytes.
//
// The bytes come from the module's own resources, but no chunk size is
// trusted: nothing is read outside the clip, whatever the sizes say. A
// "fmt " chunk of 16 bytes still loads when the two bytes after it are
// there (they are read as the extra-size field, as the Windows build does).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct WaveFormat {
    uint16_t formatTag;              // 1: PCM
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t averageBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};

struct WaveClip {
    WaveFormat format;
    std::span<const unsigned char> samples;  // inside the bytes parsed
};

std::optional<WaveClip> parseWaveClip(std::span<const unsigned char> bytes);
