#include "devhost/render/turned_blit.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "devhost/render/pixman_arithmetic.h"

namespace devhost {

namespace {

using pixman::FixedBits, pixman::WeightBits, pixman::toFixed;
constexpr uint16_t WeightOne = pixman::WeightOne;
constexpr uint32_t OpaqueAlpha = 0xFF000000u;

// Two pixels' channels, one to a 16-bit lane, in one vector register:
// each step below works on two pixels at once.
using Bytes8 = uint8_t __attribute__((vector_size(8)));
using Lanes8 = uint16_t __attribute__((vector_size(16)));

Lanes8 spread(uint64_t twoPixels)
{
    Bytes8 bytes;
    std::memcpy(&bytes, &twoPixels, sizeof bytes);
    return __builtin_convertvector(bytes, Lanes8);
}

uint64_t packed(Lanes8 lanes)
{
    const Bytes8 bytes = __builtin_convertvector(lanes, Bytes8);
    uint64_t pixels;
    std::memcpy(&pixels, &bytes, sizeof pixels);
    return pixels;
}

// A value for each of the two pixels, in its four lanes.
Lanes8 perPixel(uint16_t first, uint16_t second)
{
    return Lanes8{first, first, first, first, second, second, second, second};
}

// Two neighbouring texels of a row; outside the source transparent.
uint64_t texelPair(const ImagePixels& source, int x, int y, uint64_t fill)
{
    if (unsigned(y) >= unsigned(source.height))
        return 0;
    const auto* row = reinterpret_cast<const uint32_t*>(source.data + size_t(y) * source.stride);
    if (x >= 0 && x + 1 < source.width) {
        uint64_t pair;
        std::memcpy(&pair, row + x, sizeof pair);
        return pair | fill;
    }
    auto at = [&](int k) -> uint64_t { return unsigned(k) < unsigned(source.width) ? row[k] | uint32_t(fill) : 0; };
    return at(x) | at(x + 1) << 32;
}

// Two bilinear samples, each of a 2x2 block given by its texels (the left
// ones of both samples in one register, the right ones in another) and its
// distances dx, dy (in 1/128) from its top left texel: the rows first, then
// the columns, each step truncated to whole levels.
uint64_t interpolate(Lanes8 topLeft, Lanes8 topRight, Lanes8 bottomLeft, Lanes8 bottomRight, Lanes8 dx, Lanes8 dy)
{
    const Lanes8 up = WeightOne - dy;
    const Lanes8 leftColumn = (topLeft * up + bottomLeft * dy) >> WeightBits;
    const Lanes8 rightColumn = (topRight * up + bottomRight * dy) >> WeightBits;
    return packed((leftColumn * (WeightOne - dx) + rightColumn * dx) >> WeightBits);
}

// Two source pixels over two destination pixels, premultiplied: each
// destination channel times the source's transparency, rounded as pixman
// rounds, then the source added, saturating.
uint64_t over(uint64_t source, uint64_t destination)
{
    constexpr uint64_t BothOpaque = 0xFF000000FF000000ull;
    if ((source & BothOpaque) == BothOpaque)
        return source;
    if (source == 0)
        return destination;
    const Lanes8 s = spread(source);
    Lanes8 kept = spread(destination) * (0xFF - __builtin_shufflevector(s, s, 3, 3, 3, 3, 7, 7, 7, 7)) + 0x80;
    kept = (kept + (kept >> 8)) >> 8;
    const Lanes8 sum = kept + s;
    return packed(sum > 0xFF ? Lanes8{} + 0xFF : sum);
}

// Rounded down without a call into the maths library, which a row's set-up
// would otherwise spend most of its time in.
int64_t floored(double v)
{
    const auto whole = static_cast<int64_t>(v);
    return whole - (v < double(whole));
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

namespace {

uint16_t weightOf(int64_t fixed)
{
    return uint16_t(pixman::bilinearWeight(fixed));
}

void putTwo(uint32_t* out, uint64_t samples)
{
    uint64_t pair;
    std::memcpy(&pair, out, sizeof pair);
    pair = over(samples, pair);
    std::memcpy(out, &pair, sizeof pair);
}

// Samples along a row of the target, from a fixed-point position in the
// source and its step per column.
struct Walk {
    const ImagePixels& source;
    uint64_t fill;            // the alpha an opaque source's texels lack
    int64_t stepX, stepY;

    uint64_t pairAt(int x, int y) const
    {
        uint64_t pair;
        std::memcpy(&pair, source.data + size_t(y) * source.stride + size_t(x) * sizeof(uint32_t), sizeof pair);
        return pair | fill;
    }

    // Any columns [from, to), two a step; an odd last one alone.
    void span(uint32_t* out, int from, int to, int64_t fx, int64_t fy) const
    {
        // Blocks whose top left texel lies before these lie wholly within.
        const unsigned lastColumn = unsigned(source.width - 1), lastRow = unsigned(source.height - 1);
        for (int x = from; x < to; x += 2, fx += 2 * stepX, fy += 2 * stepY) {
            const int64_t fx2 = fx + stepX, fy2 = fy + stepY;
            const int ax = int(fx >> FixedBits), ay = int(fy >> FixedBits);
            const int bx = int(fx2 >> FixedBits), by = int(fy2 >> FixedBits);
            uint64_t aUpper, aLower, bUpper, bLower;
            if (unsigned(ax) < lastColumn && unsigned(ay) < lastRow && unsigned(bx) < lastColumn &&
                unsigned(by) < lastRow) {
                aUpper = pairAt(ax, ay), aLower = pairAt(ax, ay + 1);
                bUpper = pairAt(bx, by), bLower = pairAt(bx, by + 1);
            } else {
                aUpper = texelPair(source, ax, ay, fill), aLower = texelPair(source, ax, ay + 1, fill);
                bUpper = texelPair(source, bx, by, fill), bLower = texelPair(source, bx, by + 1, fill);
            }
            if ((aUpper | aLower | bUpper | bLower) == 0)
                continue;
            const Lanes8 au = spread(aUpper), al = spread(aLower), bu = spread(bUpper), bl = spread(bLower);
            const uint64_t samples = interpolate(__builtin_shufflevector(au, bu, 0, 1, 2, 3, 8, 9, 10, 11),
                                                 __builtin_shufflevector(au, bu, 4, 5, 6, 7, 12, 13, 14, 15),
                                                 __builtin_shufflevector(al, bl, 0, 1, 2, 3, 8, 9, 10, 11),
                                                 __builtin_shufflevector(al, bl, 4, 5, 6, 7, 12, 13, 14, 15),
                                                 perPixel(weightOf(fx), weightOf(fx2)),
                                                 perPixel(weightOf(fy), weightOf(fy2)));
            if (x + 1 < to)
                putTwo(out + x, samples);
            else
                out[x] = uint32_t(over(samples & 0xFFFFFFFFu, out[x]));
        }
    }

    // Columns [from, to) of a bitmap only moved, whose blocks all lie
    // within the source from texel (tx, ty): every sample has the same
    // weights, and two neighbouring samples share a texel of each row.
    void shiftedSpan(uint32_t* out, int from, int to, int tx, int ty, uint16_t dx, uint16_t dy) const
    {
        const Lanes8 across = Lanes8{} + dx, down = Lanes8{} + dy;
        int x = from;
        for (; x + 1 < to; x += 2, tx += 2) {
            const uint64_t samples = interpolate(spread(pairAt(tx, ty)), spread(pairAt(tx + 1, ty)),
                                                 spread(pairAt(tx, ty + 1)), spread(pairAt(tx + 1, ty + 1)),
                                                 across, down);
            putTwo(out + x, samples);
        }
        if (x < to)
            span(out, x, to, int64_t(tx) << FixedBits | int64_t(dx) << (FixedBits - WeightBits),
                 int64_t(ty) << FixedBits | int64_t(dy) << (FixedBits - WeightBits));
    }
};

}  // namespace

void drawTurned(const ImagePixels& target, const Box& clip, const ImagePixels& source, const Box& inked,
                const cairo_matrix_t& targetToSource)
{
    const int left = std::max(clip.x, 0), right = std::min(clip.x + clip.width, target.width);
    const int top = std::max(clip.y, 0), bottom = std::min(clip.y + clip.height, target.height);
    const cairo_matrix_t& m = targetToSource;
    // Beyond this a walk along rows and columns overflows 16.16 fixed
    // point: a bitmap shrunk to nothing, which samples nothing anyway.
    constexpr double Walkable = 1 << 24;
    for (double part : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
        if (!(std::abs(part) < Walkable))
            return;
    if (source.width < 1 || source.height < 1)
        return;
    // The pixel at (c, r) samples at its centre mapped, less half a texel
    // (pixman's sampling); its top left texel lies at the floor, so a
    // texel of the inked box is among its four when that floor lies within
    // the box widened by one to the top left.
    const Axis across{m.x0 + 0.5 * (m.xx + m.xy) - 0.5, m.xx, m.xy, inked.x - 1.0, double(inked.x + inked.width)};
    const Axis downwards{m.y0 + 0.5 * (m.yx + m.yy) - 0.5, m.yx, m.yy, inked.y - 1.0, double(inked.y + inked.height)};
    // Steps along a row, in 16.16 fixed point as pixman walks it.
    const Walk walk{.source = source,
                    .fill = source.opaque ? uint64_t{OpaqueAlpha} << 32 | OpaqueAlpha : 0,
                    .stepX = toFixed(m.xx),
                    .stepY = toFixed(m.yx)};
    const bool shifted = m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0;
    for (int y = top; y < bottom; ++y) {
        double first = left, last = right;
        across.narrow(y, first, last);
        downwards.narrow(y, first, last);
        if (!(first < last))
            continue;
        // A column either side, in case the fixed-point walk strays from
        // the exact line.
        const int from = std::max(left, int(floored(first)) - 1), to = std::min(right, int(floored(last)) + 2);
        const int64_t fx = toFixed(across.at + across.down * y + across.along * from);
        const int64_t fy = toFixed(downwards.at + downwards.down * y + downwards.along * from);
        auto* out = reinterpret_cast<uint32_t*>(target.data + size_t(y) * target.stride);
        const int tx = int(fx >> FixedBits), ty = int(fy >> FixedBits);
        if (!shifted || ty < 0 || ty + 1 >= source.height) {
            walk.span(out, from, to, fx, fy);
            continue;
        }
        // The columns whose blocks lie within the source, and those either side.
        const int inFrom = std::clamp(from - tx, from, to), inTo = std::clamp(from - tx + source.width - 1, inFrom, to);
        walk.span(out, from, inFrom, fx, fy);
        walk.shiftedSpan(out, inFrom, inTo, tx + (inFrom - from), ty, weightOf(fx), weightOf(fy));
        walk.span(out, inTo, to, fx + int64_t(inTo - from) * walk.stepX, fy);
    }
}

}  // namespace devhost
