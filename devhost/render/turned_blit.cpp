#include "devhost/render/turned_blit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace devhost {

namespace {

constexpr int FixedBits = 16;
constexpr double FixedOne = 1 << FixedBits;
constexpr int WeightBits = 7;  // pixman's bilinear weights, in 1/128
constexpr uint16_t WeightOne = 1 << WeightBits;
constexpr uint32_t OpaqueAlpha = 0xFF000000u;

// Two pixels' channels, one to a 16-bit lane, in one vector register.
using Bytes8 = uint8_t __attribute__((vector_size(8)));
using Lanes8 = uint16_t __attribute__((vector_size(16)));

Lanes8 spread(uint64_t twoPixels)
{
    Bytes8 bytes;
    std::memcpy(&bytes, &twoPixels, sizeof bytes);
    return __builtin_convertvector(bytes, Lanes8);
}

uint32_t firstPixel(Lanes8 lanes)
{
    const Bytes8 bytes = __builtin_convertvector(lanes, Bytes8);
    uint32_t pixel;
    std::memcpy(&pixel, &bytes, sizeof pixel);
    return pixel;
}

// Two neighbouring texels of a row; outside the source transparent.
uint64_t texelPair(const ImagePixels& source, int x, int y, uint32_t fill)
{
    if (unsigned(y) >= unsigned(source.height))
        return 0;
    const auto* row = reinterpret_cast<const uint32_t*>(source.data + size_t(y) * source.stride);
    auto at = [&](int k) -> uint64_t { return unsigned(k) < unsigned(source.width) ? row[k] | fill : 0; };
    return at(x) | at(x + 1) << 32;
}

// The bilinear sample of a 2x2 block (upper and lower pairs) at distances
// dx, dy (in 1/128) from its top left texel: the rows first, then the
// columns, each step truncated to whole levels, all in 16-bit lanes.
uint32_t interpolate(uint64_t upper, uint64_t lower, uint16_t dx, uint16_t dy)
{
    const Lanes8 rows = (spread(upper) * uint16_t(WeightOne - dy) + spread(lower) * dy) >> WeightBits;
    const Lanes8 right = __builtin_shufflevector(rows, rows, 4, 5, 6, 7, 4, 5, 6, 7);
    return firstPixel((rows * uint16_t(WeightOne - dx) + right * dx) >> WeightBits);
}

// Source over destination, premultiplied: each destination channel times
// the source's transparency, rounded as pixman rounds, then the source
// added, saturating.
uint32_t over(uint32_t source, uint32_t destination)
{
    const uint16_t keep = 0xFF - (source >> 24);
    if (keep == 0)
        return source;
    Lanes8 kept = spread(destination) * keep + uint16_t(0x80);
    kept = (kept + (kept >> 8)) >> 8;
    const Lanes8 sum = kept + spread(source);
    return firstPixel(sum > 0xFF ? Lanes8{} + 0xFF : sum);
}

// Rounded down without a call into the maths library, which a row's set-up
// would otherwise spend most of its time in.
int64_t floored(double v)
{
    const auto whole = static_cast<int64_t>(v);
    return whole - (v < double(whole));
}

int64_t toFixed(double v)
{
    return floored(v * FixedOne + 0.5);
}

// A sample coordinate that moves along each row: at + along * column in
// the row at + down * row. The columns of a row where it lies within
// [low, high) are an interval, all or none when it does not move along.
struct Axis {
    double at, along, down;
    double low, high;
    double perColumn = along != 0 ? 1 / along : 0;

    void narrow(double row, double& first, double& last) const
    {
        const double start = at + down * row;
        if (along == 0) {
            if (!(start >= low && start < high))
                last = first;
            return;
        }
        double from = (low - start) * perColumn, to = (high - start) * perColumn;
        if (from > to)
            std::swap(from, to);
        first = std::max(first, from), last = std::min(last, to);
    }
};

}  // namespace

ImagePixels pixelsOf(cairo_surface_t* image)
{
    return {.data = cairo_image_surface_get_data(image),
            .width = cairo_image_surface_get_width(image),
            .height = cairo_image_surface_get_height(image),
            .stride = cairo_image_surface_get_stride(image),
            .opaque = cairo_image_surface_get_format(image) == CAIRO_FORMAT_RGB24};
}

void drawTurned(const ImagePixels& target, const Box& clip, const ImagePixels& source, const Box& inked,
                const cairo_matrix_t& targetToSource)
{
    const int left = std::max(clip.x, 0), right = std::min(clip.x + clip.width, target.width);
    const int top = std::max(clip.y, 0), bottom = std::min(clip.y + clip.height, target.height);
    const cairo_matrix_t& m = targetToSource;
    // The pixel at (c, r) samples at its centre mapped, less half a texel
    // (pixman's sampling); its top left texel lies at the floor, so a
    // texel of the inked box is among its four when that floor lies within
    // the box widened by one to the top left.
    const Axis across{m.x0 + 0.5 * (m.xx + m.xy) - 0.5, m.xx, m.xy, inked.x - 1.0, double(inked.x + inked.width)};
    const Axis downwards{m.y0 + 0.5 * (m.yx + m.yy) - 0.5, m.yx, m.yy, inked.y - 1.0, double(inked.y + inked.height)};
    // Steps along a row, in 16.16 fixed point as pixman walks it.
    const int64_t stepX = toFixed(m.xx), stepY = toFixed(m.yx);
    const uint32_t fill = source.opaque ? OpaqueAlpha : 0;
    const uint64_t fillPair = uint64_t{fill} << 32 | fill;
    for (int y = top; y < bottom; ++y) {
        double first = left, last = right;
        across.narrow(y, first, last);
        downwards.narrow(y, first, last);
        if (!(first < last))
            continue;
        // A column either side, in case the fixed-point walk strays from
        // the exact line.
        const int from = std::max(left, int(floored(first)) - 1), to = std::min(right, int(floored(last)) + 2);
        int64_t fx = toFixed(across.at + across.down * y + across.along * from);
        int64_t fy = toFixed(downwards.at + downwards.down * y + downwards.along * from);
        auto* out = reinterpret_cast<uint32_t*>(target.data + size_t(y) * target.stride);
        for (int x = from; x < to; ++x, fx += stepX, fy += stepY) {
            const int tx = int(fx >> FixedBits), ty = int(fy >> FixedBits);
            uint64_t upper, lower;
            if (tx >= 0 && ty >= 0 && tx + 1 < source.width && ty + 1 < source.height) {
                const unsigned char* at = source.data + size_t(ty) * source.stride + size_t(tx) * sizeof(uint32_t);
                std::memcpy(&upper, at, sizeof upper);
                std::memcpy(&lower, at + source.stride, sizeof lower);
                upper |= fillPair, lower |= fillPair;
            } else {
                upper = texelPair(source, tx, ty, fill), lower = texelPair(source, tx, ty + 1, fill);
            }
            // Most samples fall where all four texels are one colour: in
            // the clear around a needle, or inside a card's paint.
            if (upper == lower && uint32_t(upper) == uint32_t(upper >> 32)) {
                if (upper)
                    out[x] = over(uint32_t(upper), out[x]);
                continue;
            }
            const auto dx = uint16_t(fx >> (FixedBits - WeightBits) & (WeightOne - 1));
            const auto dy = uint16_t(fy >> (FixedBits - WeightBits) & (WeightOne - 1));
            const uint32_t sample = interpolate(upper, lower, dx, dy);
            if (sample >> 24)
                out[x] = over(sample, out[x]);
        }
    }
}

}  // namespace devhost
