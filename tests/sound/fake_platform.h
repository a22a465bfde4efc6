// A stand-in for platform/: the sound tests choose which clips the module's
// resources hold (exactly sized heap copies, so a read past a clip is a
// sanitizer error), which top-level windows exist, and the host
// executable's name.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

struct Clip {
    std::unique_ptr<unsigned char[]> bytes;
    size_t size = 0;
};

struct Platform {
    std::string executableName = "fs9";
    std::map<std::string, platform::WindowHandle> windows;   // by class name
    std::map<uint32_t, Clip> clips;                            // "WAVE" resources by number
    std::vector<std::string> classesSearched;
    std::vector<platform::ModuleInstance> instancesAsked;

    void serveClip(uint32_t number, const std::vector<unsigned char>& bytes);
};

// The one platform the sound code sees; reset() before each test.
Platform& platform();
void reset();

// A window handle that stands for the host's main window.
inline platform::WindowHandle hostWindow() { return reinterpret_cast<platform::WindowHandle>(0x5EED); }

// A RIFF/WAVE clip: PCM, `channels`, 22050 samples per second, `bits` per
// sample, `sampleBytes` of deterministic noise, and a "fmt " chunk of
// `fmtSize` bytes (16: the format record alone, 18: with its extra size).
struct ClipShape {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint16_t bits = 16;
    uint32_t sampleBytes = 3828;
    uint32_t fmtSize = 18;
};
std::vector<unsigned char> waveClip(const ClipShape& shape = {});

// The noise samples waveClip writes, for finding them again in an output.
std::vector<unsigned char> clipSamples(uint32_t sampleBytes);

// Little-endian 32-bit write, for tests that make chunk sizes lie.
void put32(std::vector<unsigned char>& bytes, size_t at, uint32_t value);

}  // namespace fake
