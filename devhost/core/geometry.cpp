// Needle angles from calibration tables, and the placement of icons, sliders,
// moving images and sprites.
#include "devhost/core/geometry.h"

#include <algorithm>
#include <cmath>

namespace devhost {

namespace {

constexpr double FullTurn = 360.0;
constexpr double Pi = 3.14159265358979323846;

// fmod(degrees, 360), in plain arithmetic where it is exact: below 2^40 the
// whole turns n (trunc of the quotient, at most one too many) make n x 360
// exactly, and the remainder, a multiple of 360's last bit smaller than
// 512, comes out of the subtraction exactly (one turn added back when n
// was one too many). Beyond that, and for NaN and infinities, fmod.
double remainderOfTurns(double degrees)
{
    const double magnitude = std::fabs(degrees);
    if (magnitude < FullTurn)
        return degrees;
    if (!(magnitude < 0x1p40))
        return std::fmod(degrees, FullTurn);
    const double turns = static_cast<double>(static_cast<int64_t>(magnitude / FullTurn));
    double rest = magnitude - turns * FullTurn;
    if (rest < 0)
        rest += FullTurn;
    return std::copysign(rest, degrees);  // fmod's sign, a zero's too
}

double normalised(double degrees)
{
    double a = remainderOfTurns(degrees);
    if (a < 0)
        a += FullTurn;
    return a >= FullTurn ? 0.0 : a;  // -1e-20 + 360 rounds to 360
}

double directionTo(Point from, Point to)
{
    return normalised(std::atan2(double(to.y) - from.y, double(to.x) - from.x) * 180.0 / Pi);
}

bool samePlace(Point a, Point b)
{
    return a.x == b.x && a.y == b.y;
}

// The clockwise sweep from point a to point b: in (0, 360], a full turn for
// two different points in one direction from the pivot, 0 for one place.
double sweep(Point pivot, Point a, Point b)
{
    if (samePlace(a, b))
        return 0.0;
    double s = normalised(directionTo(pivot, b) - directionTo(pivot, a));
    return s == 0.0 ? FullTurn : s;
}

}  // namespace

NeedleSweep::NeedleSweep(std::span<const CalibrationPoint> table, Point position)
    : table_(table.data()), position_(position)
{
    for (const CalibrationPoint& p : table)
        points_.push_back(p.point);
    if (table.empty())
        return;
    start_ = directionTo(position, table[0].point);
    double at = start_;
    for (size_t k = 0; k + 1 < table.size(); ++k) {
        const double v0 = table[k].value, v1 = table[k + 1].value;
        const double turn = sweep(position, table[k].point, table[k + 1].point);
        segments_.push_back(
            {.low = std::min(v0, v1), .high = std::max(v0, v1), .from = v0, .span = v1 - v0, .at = at, .turn = turn, .jump = v1 == v0});
        at += turn;
    }
    end_ = at;
    lastValue_ = table.back().value;
}

double NeedleSweep::unwound(double value) const
{
    if (points_.empty())
        return value;
    if (!std::isfinite(value) || segments_.empty())
        return start_;

    // The needle only ever turns clockwise as the table goes on.
    for (const Segment& segment : segments_) {
        if (value >= segment.low && value <= segment.high) {
            // A segment of one value is a jump: the needle is at its start.
            double fraction = segment.jump ? 0.0 : (value - segment.from) / segment.span;
            return segment.at + fraction * segment.turn;
        }
    }

    // Beyond the table: before the first point when the value lies on the
    // far side of it from the second, else past the last point. The nearest
    // segment's rate continues, so a half-turn table turns on and on, and a
    // repeated end point holds the needle at its stop.
    const Segment& first = segments_.front();
    if ((value - first.from) * first.span < 0.0)
        return start_ + (value - first.from) * first.rate();
    return end_ + (value - lastValue_) * segments_.back().rate();
}

double NeedleSweep::angle(double value) const
{
    if (points_.empty() && !std::isfinite(value))
        return 0.0;
    return normalised(unwound(value));
}

bool NeedleSweep::describes(std::span<const CalibrationPoint> table, Point position) const
{
    if (!isFor(table, position))
        return false;
    for (size_t k = 0; k < table.size(); ++k)
        if (!samePlace(table[k].point, points_[k]))
            return false;
    return true;
}

double needleAngle(std::span<const CalibrationPoint> table, Point position, double value)
{
    return NeedleSweep(table, position).angle(value);
}

std::optional<int> iconFrame(double value, uint32_t frames)
{
    // The host takes the frame as an integer, cut toward zero.
    if (!std::isfinite(value) || value <= -1.0 || value >= double(frames))
        return std::nullopt;
    return static_cast<int>(value);
}

double sliderOffset(double value, double scale)
{
    double offset = value * scale;
    return std::isfinite(offset) ? offset : 0.0;
}

double movingImageOffset(double value, double min, double max, int stripLength, int windowLength)
{
    double travel = std::max(0, stripLength - windowLength);
    if (std::isnan(value) || !std::isfinite(min) || !std::isfinite(max) || min == max)
        return 0.0;
    double fraction = std::clamp((value - min) / (max - min), 0.0, 1.0);
    return fraction * travel;
}

double spriteRotation(double value, double scale)
{
    return sliderOffset(value, scale);
}

bool overlaps(const Box& a, const Box& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::optional<Box> intersection(const Box& a, const Box& b)
{
    const int32_t left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    const int32_t right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return std::nullopt;
    return Box{left, top, right - left, bottom - top};
}

std::optional<Box> unite(const std::optional<Box>& a, const std::optional<Box>& b)
{
    if (!a || !b)
        return a ? a : b;
    const int32_t left = std::min(a->x, b->x), top = std::min(a->y, b->y);
    const int32_t right = std::max(a->x + a->width, b->x + b->width);
    const int32_t bottom = std::max(a->y + a->height, b->y + b->height);
    return Box{left, top, right - left, bottom - top};
}

Box moved(const Box& box, Point by)
{
    return {box.x + by.x, box.y + by.y, box.width, box.height};
}

}  // namespace devhost
