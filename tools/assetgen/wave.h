// The two switch clicks: RIFF/WAVE, PCM, mono, 22050 Hz, 16-bit.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

inline constexpr uint32_t ClipSampleRate = 22050;

struct ClipRecipe {
    uint32_t number;      // resource number
    uint32_t dataBytes;   // exact size of the "data" chunk
    // The click: a band-passed noise burst on the contact, damped resonances
    // of the lever and the case, and an optional second, softer strike when
    // the lever lands on its stop.
    double burstCentreHz;
    double burstMilliseconds;
    struct Mode {
        double hz;
        double decayMilliseconds;
        double level;
    };
    std::vector<Mode> modes;
    double secondStrikeMilliseconds;   // 0: none
    double secondStrikeLevel;
    uint32_t seed;
};

// The recipes of clip 10 (light) and clip 30 (heavier).
const std::vector<ClipRecipe>& clipRecipes();

// The samples of a recipe, peak-normalised below full scale.
std::vector<int16_t> synthesiseClip(const ClipRecipe& recipe);

// A complete RIFF/WAVE file: a 16-byte "fmt " chunk and the "data" chunk.
std::vector<uint8_t> waveFile(const std::vector<int16_t>& samples);

}  // namespace assetgen
