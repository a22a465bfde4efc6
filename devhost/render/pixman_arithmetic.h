// The numbers pixman draws with under Cairo, which the renderer's own
// scaling and turning reproduce: coordinates in 16.16 fixed point, as Cairo
// converts them, and bilinear weights in 1/128.
#pragma once

#include <cmath>
#include <cstdint>

namespace devhost::pixman {

constexpr int FixedBits = 16;
constexpr int64_t FixedOne = int64_t{1} << FixedBits;
constexpr int64_t FixedFraction = FixedOne - 1;

// Cairo's conversion to fixed point: to the nearest, halves to even.
inline int64_t toFixed(double value)
{
    return static_cast<int64_t>(std::nearbyint(value * double(FixedOne)));
}

constexpr int WeightBits = 7;
constexpr int32_t WeightOne = 1 << WeightBits;

// The bilinear weight of a fixed-point coordinate: how far it lies past
// its texel, in 1/128.
constexpr int32_t bilinearWeight(int64_t fixed)
{
    return static_cast<int32_t>((fixed >> (FixedBits - WeightBits)) & (WeightOne - 1));
}

}  // namespace devhost::pixman
