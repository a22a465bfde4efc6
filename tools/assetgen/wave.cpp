#include "tools/assetgen/wave.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/assetgen/bytes.h"

namespace assetgen {

namespace {

// A fixed-seed generator so that every build writes the same bytes.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1u) {}
    double next()  // uniform in [-1, 1)
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_;
};

// Second-order band-pass (constant peak gain), the usual audio biquad.
class BandPass {
public:
    BandPass(double centreHz, double q)
    {
        double w = 2.0 * std::numbers::pi * centreHz / ClipSampleRate;
        double alpha = std::sin(w) / (2.0 * q);
        double a0 = 1.0 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2.0 * std::cos(w) / a0;
        a2_ = (1.0 - alpha) / a0;
    }
    double step(double x)
    {
        double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// One strike of the mechanism starting at sample `start`, added into `out`.
void addStrike(std::vector<double>& out, const ClipRecipe& r, size_t start, double level, Noise& noise)
{
    BandPass filter(r.burstCentreHz, 1.2);
    double burstTau = r.burstMilliseconds / 1000.0 * ClipSampleRate;
    for (size_t i = start; i < out.size(); ++i) {
        double t = static_cast<double>(i - start);
        double attack = std::min(1.0, t / 6.0);  // a few samples, so the edge is not a step
        double burst = filter.step(noise.next()) * std::exp(-t / burstTau) * 3.0;
        double ring = 0.0;
        for (const auto& m : r.modes) {
            double tau = m.decayMilliseconds / 1000.0 * ClipSampleRate;
            ring += m.level * std::exp(-t / tau) * std::sin(2.0 * std::numbers::pi * m.hz * t / ClipSampleRate);
        }
        out[i] += level * attack * (burst + ring);
    }
}

}  // namespace

const std::vector<ClipRecipe>& clipRecipes()
{
    static const std::vector<ClipRecipe> recipes = {
        // A small lever (NAV/GPS source, gunsight): bright and short.
        {.number = 10,
         .dataBytes = 3828,
         .burstCentreHz = 4200.0,
         .burstMilliseconds = 1.6,
         .modes = {{2950.0, 7.0, 0.55}, {4650.0, 4.0, 0.35}, {6900.0, 2.5, 0.2}},
         .secondStrikeMilliseconds = 0.0,
         .secondStrikeLevel = 0.0,
         .seed = 0x5EED0010u},
        // A radio's main switch: a lower body, and the lever landing on its stop.
        {.number = 30,
         .dataBytes = 6014,
         .burstCentreHz = 2300.0,
         .burstMilliseconds = 2.8,
         .modes = {{820.0, 16.0, 0.5}, {1730.0, 11.0, 0.45}, {3150.0, 6.0, 0.3}, {5200.0, 3.0, 0.15}},
         .secondStrikeMilliseconds = 21.0,
         .secondStrikeLevel = 0.45,
         .seed = 0x5EED0030u},
    };
    return recipes;
}

std::vector<int16_t> synthesiseClip(const ClipRecipe& recipe)
{
    size_t count = recipe.dataBytes / sizeof(int16_t);
    std::vector<double> signal(count, 0.0);
    Noise noise(recipe.seed);
    addStrike(signal, recipe, 8, 1.0, noise);
    if (recipe.secondStrikeMilliseconds > 0.0) {
        auto start = static_cast<size_t>(recipe.secondStrikeMilliseconds / 1000.0 * ClipSampleRate);
        addStrike(signal, recipe, std::min(start, count), recipe.secondStrikeLevel, noise);
    }
    // The last 10 ms fade to silence so that the buffer does not end on a step.
    size_t fade = std::min<size_t>(count, ClipSampleRate / 100);
    for (size_t i = 0; i < fade; ++i)
        signal[count - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);

    double peak = 0.0;
    for (double s : signal)
        peak = std::max(peak, std::abs(s));
    double gain = peak > 0.0 ? 0.7 * 32767.0 / peak : 0.0;  // headroom: never near clipping
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(std::lround(signal[i] * gain));
    return samples;
}

std::vector<uint8_t> waveFile(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    ByteWriter w(out);

    constexpr uint32_t fmtBytes = 16;
    constexpr uint32_t channels = 1;
    constexpr uint32_t bitsPerSample = 16;
    constexpr uint32_t blockAlign = channels * bitsPerSample / 8;
    auto dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));

    w.tag("RIFF");
    w.u32(4 + (8 + fmtBytes) + (8 + dataBytes));
    w.tag("WAVE");
    w.tag("fmt ");
    w.u32(fmtBytes);
    w.u16(1);  // PCM
    w.u16(channels);
    w.u32(ClipSampleRate);
    w.u32(ClipSampleRate * blockAlign);
    w.u16(blockAlign);
    w.u16(bitsPerSample);
    w.tag("data");
    w.u32(dataBytes);
    for (int16_t s : samples)
        w.u16(static_cast<uint16_t>(s));
    return out;
}

}  // namespace assetgen
