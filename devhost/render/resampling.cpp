#include "devhost/render/resampling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

#include "devhost/core/bmp_file.h"
#include "devhost/render/pixman_arithmetic.h"

namespace devhost {

namespace {

using pixman::FixedBits, pixman::FixedOne, pixman::FixedFraction, pixman::toFixed;

// Where pixman samples the picture for the centre of output pixel i along
// one axis. Cairo gives pixman the ratio of input to output pixels rounded
// to fixed point as its step, and shifts the start so that the middle of
// the output samples where the unrounded ratio would; the rounding error
// grows towards the edges, and only the same arithmetic puts a sample in
// the same filter phase as Cairo's.
class SamplePositions {
public:
    SamplePositions(int from, int to) : ratio_(1.0 / (double(to) / from)), step_(toFixed(ratio_))
    {
        constexpr int CairoCorrections = 5;
        const double middle = to / 2.0;
        for (int i = 0; i < CairoCorrections; ++i) {
            const double sampled = double(transformed(toFixed(middle))) / double(FixedOne);
            const int64_t error = toFixed((sampled * (1.0 / ratio_) - middle) * ratio_);
            offset_ -= error;
            if (error == 0)
                break;
        }
    }

    int64_t at(int i) const { return transformed((int64_t{i} << FixedBits) + FixedOne / 2); }
    double ratio() const { return ratio_; }

private:
    // pixman's product of its matrix with a coordinate, rounded as it does.
    int64_t transformed(int64_t v) const
    {
        return step_ * (v >> FixedBits) + offset_ + ((step_ * (v & FixedFraction) + FixedOne / 2) >> FixedBits);
    }

    double ratio_;
    int64_t step_;
    int64_t offset_ = 0;
};

// One axis of a filter: for every output pixel the input pixels it takes,
// `taps` of them from `first` on, and their weights, which add up to
// 1 << unitBits. Taps may reach past the picture's edges, where Cairo pads
// with the edge pixel.
struct AxisFilter {
    int taps = 0;
    int unitBits = 0;
    std::vector<int> first;        // per output pixel
    std::vector<int32_t> weight;   // taps per output pixel

    AxisFilter(int taps, int unitBits, int outputs)
        : taps(taps), unitBits(unitBits), first(size_t(outputs)), weight(size_t(outputs) * taps)
    {
    }
    const int32_t* weights(int output) const { return weight.data() + size_t(output) * taps; }
};

// pixman's bilinear filter: the two pixels about the sample, weighted by
// the sample's distance from them in 128ths of a pixel.
AxisFilter bilinearAxis(int from, int to)
{
    constexpr int WeightBits = pixman::WeightBits;
    constexpr int32_t Range = pixman::WeightOne;
    const SamplePositions positions(from, to);
    AxisFilter filter(2, WeightBits, to);
    for (int i = 0; i < to; ++i) {
        const int64_t v = positions.at(i) - FixedOne / 2;
        const int first = static_cast<int>(v >> FixedBits);
        const int32_t distance = pixman::bilinearWeight(v);
        filter.first[i] = first;
        filter.weight[size_t(i) * 2] = Range - distance;
        filter.weight[size_t(i) * 2 + 1] = distance;
    }
    return filter;
}

// Cairo's good filter along one axis: a box as wide as an output pixel
// (ratio input pixels, between 4/3 and 16; narrower than that, a plain
// linear filter of width one) meeting square input pixels, a trapezoid.
// Its weights are tabulated for a number of phases, sub-pixel positions of
// the sample, and each sample takes those of the phase it falls in.
double boxKernel(double x, double width)
{
    return std::max(0.0, std::min({std::min(width, 1.0), (width + 1) / 2 - x, (width + 1) / 2 + x}));
}

AxisFilter goodAxis(int from, int to)
{
    const SamplePositions positions(from, to);
    constexpr double WidestBox = 16.0, LinearBelow = 1.0 / 0.75, FewestPhaseSteps = 128.0;
    double box = std::min(positions.ratio(), WidestBox);
    if (box < LinearBelow)
        box = 1.0;
    const int taps = static_cast<int>(std::ceil(box + 1));
    int phaseBits = 0;
    while (box * double(1 << phaseBits) <= FewestPhaseSteps)
        ++phaseBits;
    const int phases = 1 << phaseBits;

    // Each phase's weights, truncated to fixed point and normalised as
    // Cairo does it; what the truncation loses goes to the middle tap.
    std::vector<int32_t> table(size_t(phases) * taps);
    for (int phase = 0; phase < phases; ++phase) {
        int32_t* w = table.data() + size_t(phase) * taps;
        const double fraction = (phase + 0.5) / phases;
        const double leftmost = std::ceil(fraction - taps / 2.0 - 0.5) - fraction + 0.5;
        double total = 0;
        for (int k = 0; k < taps; ++k) {
            const double v = boxKernel(leftmost + k, box);
            total += v;
            w[k] = static_cast<int32_t>(v * double(FixedOne));
        }
        const double normal = 1 / total;
        int32_t sum = 0;
        for (int k = 0; k < taps; ++k)
            sum += w[k] = static_cast<int32_t>(w[k] * normal);
        w[taps / 2] += static_cast<int32_t>(FixedOne) - sum;
    }

    const int phaseShift = FixedBits - phaseBits;
    const int64_t reach = ((int64_t{taps} << FixedBits) - FixedOne) >> 1;
    AxisFilter filter(taps, FixedBits, to);
    for (int i = 0; i < to; ++i) {
        const int64_t v = ((positions.at(i) >> phaseShift) << phaseShift) + ((int64_t{1} << phaseShift) >> 1);
        const auto phase = static_cast<int>((v & FixedFraction) >> phaseShift);
        filter.first[i] = static_cast<int>((v - 1 - reach) >> FixedBits);
        std::copy_n(table.data() + size_t(phase) * taps, taps, filter.weight.data() + size_t(i) * taps);
    }
    return filter;
}

// Cairo draws with its bilinear filter instead of the good one where the
// two hardly differ: an axis shrunk to no less than three quarters, or to
// almost exactly half (the samples then fall between two pixels).
bool bilinearWillDo(int from, int to)
{
    constexpr double Shrunk = 0.75, HalfLow = 3.99, HalfHigh = 4.01;  // bounds of the ratio squared
    const double ratio = 1.0 / (double(to) / from);
    const double squared = ratio * ratio;
    return squared < 1.0 / (Shrunk * Shrunk) || (squared > HalfLow && squared < HalfHigh);
}

// A pixel's four channels, each in its own 32-bit lane (blue, green, red,
// alpha, as they lie in memory), so that one vector operation weighs all
// four; two neighbouring output pixels' channels side by side, so that the
// wider vectors of processors that have them weigh both at once. A filtered
// channel (at most 255 times the weights' unit, summed along and then down)
// never needs more than its lane. Pairs are kept in rows of Channels and
// read as pairs where they lie, whatever their alignment.
using Channels = uint32_t __attribute__((vector_size(16)));
using PixelPair = uint32_t __attribute__((vector_size(32), aligned(16), may_alias));
using Bytes16 = uint8_t __attribute__((vector_size(16)));

// The pixel's bytes moved to the low bytes of the lanes, one shuffle.
Channels spread(uint32_t pixel)
{
    // Byte 16 is the first of the second operand: zero.
    return Channels(__builtin_shufflevector(Bytes16(Channels{pixel}), Bytes16{}, 0, 16, 16, 16, 1, 16, 16, 16, 2, 16,
                                            16, 16, 3, 16, 16, 16));
}

// The low bytes of the lanes (each lane below 256) back to a pixel.
uint32_t packed(Channels channels)
{
    const Bytes16 bytes = Bytes16(channels);
    return Channels(__builtin_shufflevector(bytes, bytes, 0, 4, 8, 12, 0, 4, 8, 12, 0, 4, 8, 12, 0, 4, 8, 12))[0];
}

// Whether a bilinear axis takes each output pixel halfway between input
// pixels 2i and 2i + 1, both there: exactly half, whatever the edges.
bool halvesExactly(const AxisFilter& axis, int from)
{
    constexpr int32_t Half = pixman::WeightOne / 2;
    if (axis.taps != 2 || 2 * int(axis.first.size()) > from)
        return false;
    for (size_t i = 0; i < axis.first.size(); ++i)
        if (axis.first[i] != 2 * int(i) || axis.weights(int(i))[0] != Half || axis.weights(int(i))[1] != Half)
            return false;
    return true;
}

// The bilinear filter at exactly half: each output pixel the mean of a
// square of four input pixels, truncated, as the filter's weights (a
// quarter each) give it. Two channels share a 32-bit lane, 16 bits each,
// which a sum of four channels never outgrows; four pixels at a time.
void halve(const PictureRows& rows, Point to, uint32_t* out, size_t stride)
{
    constexpr uint32_t Alternate = 0x00FF00FF;   // channels 0 and 2 (or 1 and 3 shifted down)
    const int groups = (to.x + 3) / 4;
    std::vector<FourPixels> evenChannels(static_cast<size_t>(groups)), oddChannels(static_cast<size_t>(groups));
    for (int y = 0; y < to.y; ++y) {
        for (int half = 0; half < 2; ++half) {
            const uint32_t* pixels = rows(2 * y + half);
            for (int g = 0; g < groups; ++g) {
                FourPixels left, right;
                if (8 * g + 8 <= 2 * to.x) {
                    std::memcpy(&left, pixels + 8 * g, sizeof left);
                    std::memcpy(&right, pixels + 8 * g + 4, sizeof right);
                } else {
                    uint32_t tail[8] = {};
                    std::copy(pixels + 8 * g, pixels + 2 * to.x, tail);
                    std::memcpy(&left, tail, sizeof left);
                    std::memcpy(&right, tail + 4, sizeof right);
                }
                const FourPixels first = __builtin_shufflevector(left, right, 0, 2, 4, 6);
                const FourPixels second = __builtin_shufflevector(left, right, 1, 3, 5, 7);
                const FourPixels even = (first & Alternate) + (second & Alternate);
                const FourPixels odd = ((first >> 8) & Alternate) + ((second >> 8) & Alternate);
                evenChannels[g] = half ? evenChannels[g] + even : even;
                oddChannels[g] = half ? oddChannels[g] + odd : odd;
            }
        }
        uint32_t* row = out + size_t(y) * stride;
        for (int g = 0; g < groups; ++g) {
            const FourPixels four = ((evenChannels[g] >> 2) & Alternate) | (((oddChannels[g] >> 2) & Alternate) << 8);
            if (4 * g + 4 <= to.x)
                std::memcpy(row + 4 * g, &four, sizeof four);
            else
                for (int x = 4 * g; x < to.x; ++x)
                    row[x] = four[x - 4 * g];
        }
    }
}

}  // namespace

// Compiled twice, and chosen once as the program loads: for processors with
// AVX2, which widen a pixel's bytes to lanes in an instruction and weigh a
// pair of pixels in one, and for any other, which take several for either. What
// it calls is laid into it (flatten), so as to be compiled for the same.
// clang cannot flatten a function it clones; its builds (the fuzz targets)
// take the one plain copy.
#if defined(__clang__)
#define VARDEX_SCALER_COPIES
#else
#define VARDEX_SCALER_COPIES [[gnu::target_clones("avx2", "default"), gnu::flatten]]
#endif
VARDEX_SCALER_COPIES
void scalePicture(const PictureRows& rows, Point from, Point to, ScaleFilter filter, uint32_t* out, size_t stride)
{
    const bool good = filter == ScaleFilter::Good && !(bilinearWillDo(from.x, to.x) && bilinearWillDo(from.y, to.y));
    const AxisFilter across = good ? goodAxis(from.x, to.x) : bilinearAxis(from.x, to.x);
    const AxisFilter down = good ? goodAxis(from.y, to.y) : bilinearAxis(from.y, to.y);
    if (!good && halvesExactly(across, from.x) && halvesExactly(down, from.y))
        return halve(rows, to, out, stride);
    // The good filter's sums along a row keep 8 of their 16 fractional bits
    // (rounded), so that the sums down the columns fit their lanes; that
    // moves a result by less than a hundredth of a level. pixman rounds the
    // good filter's results to the nearest and truncates the bilinear
    // filter's, whose sums are exact.
    const int dropped = good ? 8 : 0;
    const uint32_t droppedHalf = dropped ? uint32_t{1} << (dropped - 1) : 0;
    const int shift = across.unitBits - dropped + down.unitBits;
    const uint32_t bias = good ? uint32_t{1} << (shift - 1) : 0;

    // The rows filtered along, for the taps of one output row: a row
    // lands in the slot of its number modulo the taps, which the taps of
    // one output row, consecutive rows, never share. A row is filtered from
    // its pixels spread, and padded with its edge pixels as far as the taps
    // reach beyond it. Output pixels go in pairs; an odd row's last pair
    // has a second pixel that weighs nothing and is not written.
    const int pairs = (to.x + 1) / 2;
    std::vector<int> first(across.first);
    first.resize(size_t(pairs) * 2, first.back());
    const int leftmost = std::min(0, *std::min_element(first.begin(), first.end()));
    const int rightmost = std::max(from.x, *std::max_element(first.begin(), first.end()) + across.taps);
    // The spread row's end rounded up to whole fours, which it is read in.
    std::vector<Channels> padded(size_t(rightmost - leftmost) + 3);
    Channels* const spreadRow = padded.data() - leftmost;
    auto pairsIn = [](std::vector<Channels>& store) { return reinterpret_cast<PixelPair*>(store.data()); };
    std::vector<Channels> pairWeightStore(size_t(pairs) * 2 * across.taps);
    PixelPair* const pairWeights = pairsIn(pairWeightStore);
    for (int x = 0; x < to.x; ++x)
        for (int t = 0; t < across.taps; ++t) {
            PixelPair& w = pairWeights[size_t(x / 2) * across.taps + t];
            for (int lane = 0; lane < 4; ++lane)
                w[(x % 2) * 4 + lane] = uint32_t(across.weights(x)[t]);
        }
    std::vector<Channels> alongStore(size_t(down.taps) * pairs * 2);
    PixelPair* const along = pairsIn(alongStore);
    std::vector<int> held(size_t(down.taps), -1);

    std::vector<Channels> sumStore(size_t(pairs) * 2);
    PixelPair* const sums = pairsIn(sumStore);
    for (int y = 0; y < to.y; ++y) {
        std::fill(sums, sums + pairs, PixelPair{} + bias);
        for (int k = 0; k < down.taps; ++k) {
            const auto weight = uint32_t(down.weights(y)[k]);
            if (weight == 0)
                continue;
            const int source = std::clamp(down.first[y] + k, 0, from.y - 1);
            const size_t slot = size_t(source) % size_t(down.taps);
            PixelPair* values = along + slot * pairs;
            if (held[slot] != source) {
                held[slot] = source;
                const uint32_t* pixels = rows(source);
                std::fill(spreadRow + leftmost, spreadRow, spread(pixels[0]));
#pragma GCC unroll 4
                for (int x = 0; x < from.x; ++x)
                    spreadRow[x] = spread(pixels[x]);
                std::fill(spreadRow + from.x, spreadRow + rightmost, spread(pixels[from.x - 1]));
                // The usual numbers of taps known when compiled, so
                // that their loop is laid out flat.
                auto filterAlong = [&](auto tapCount) {
                    for (int pair = 0; pair < pairs; ++pair) {
                        const Channels* left = spreadRow + first[size_t(pair) * 2];
                        const Channels* right = spreadRow + first[size_t(pair) * 2 + 1];
                        const PixelPair* w = pairWeights + size_t(pair) * across.taps;
                        PixelPair sum{};
                        for (int t = 0; t < int(tapCount); ++t)
                            sum += w[t] * __builtin_shufflevector(left[t], right[t], 0, 1, 2, 3, 4, 5, 6, 7);
                        values[pair] = (sum + droppedHalf) >> dropped;
                    }
                };
                switch (across.taps) {
                case 2: filterAlong(std::integral_constant<int, 2>{}); break;
                case 3: filterAlong(std::integral_constant<int, 3>{}); break;
                case 4: filterAlong(std::integral_constant<int, 4>{}); break;
                case 5: filterAlong(std::integral_constant<int, 5>{}); break;
                default: filterAlong(across.taps); break;
                }
            }
            for (int pair = 0; pair < pairs; ++pair)
                sums[pair] += weight * values[pair];
        }
        uint32_t* row = out + size_t(y) * stride;
        for (int pair = 0; pair < to.x / 2; ++pair) {
            const PixelPair pixels = sums[pair] >> shift;
            row[pair * 2] = packed(__builtin_shufflevector(pixels, pixels, 0, 1, 2, 3));
            row[pair * 2 + 1] = packed(__builtin_shufflevector(pixels, pixels, 4, 5, 6, 7));
        }
        if (to.x % 2) {
            const PixelPair pixels = sums[pairs - 1] >> shift;
            row[to.x - 1] = packed(__builtin_shufflevector(pixels, pixels, 0, 1, 2, 3));
        }
    }
}

}  // namespace devhost
