// Where the host draws what the module returns: needle angles from
// calibration tables, and the placement rules for icons, sliders, moving
// images and sprites. Angles are in degrees, clockwise on the screen (y
// grows downwards), 0 pointing to +x: a needle bitmap is drawn pointing to
// +x and turned by this angle about its pivot.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "framework/gauge_model.h"

namespace devhost {

// Needle with a table: the angle from the needle's position to each table
// point, interpolated clockwise in table order between neighbouring points;
// beyond either end the nearest segment's rate continues (so a two-point
// half-turn table turns as often as the value demands); repeated points hold
// the needle still over their range. Descending tables work the same way.
//
// "Clockwise in table order": from point k to point k+1 the needle sweeps
// clockwise by the angle between their directions, taken in (0, 360]: two
// different points in the same direction are a full turn apart (a table
// that meant the needle to stand still would repeat the point), two points
// at one place are not apart at all. In a descending table (the landing
// indicator's 120, 0, -120) the needle therefore turns clockwise as the
// value falls, and counter-clockwise as it rises. A segment whose two points
// share one value is a jump; the needle stands at its first point for that
// value.
//
// The sweeps depend on the table and the position alone, so they are worked
// out once for a needle, from the table's points and values as they are
// then; the artwork and the host's needles both read their angles from here,
// so a mark is drawn where the needle will point.
class NeedleSweep {
public:
    NeedleSweep(std::span<const CalibrationPoint> table, Point position);

    // The needle's angle for a value, unwound: it grows by a whole turn for
    // each turn the needle makes, so the angles of two values differ by the
    // needle's travel between them. A non-finite value gives the first
    // point's direction; an empty table gives the value itself (the host
    // turns such a needle by the value directly).
    double unwound(double value) const;

    // The same reduced to [0, 360), as drawn (0 for a non-finite value with
    // no table).
    double angle(double value) const;

    // Whether these sweeps were worked out for these table records (their
    // address and count) and this position, whatever the points now say.
    bool isFor(std::span<const CalibrationPoint> table, Point position) const
    {
        return table.data() == table_ && table.size() == points_.size() && position.x == position_.x &&
               position.y == position_.y;
    }

    // The same, the table's points also where they were.
    bool describes(std::span<const CalibrationPoint> table, Point position) const;

private:
    // One segment of the table, from one point to the next.
    struct Segment {
        double low, high;  // the values it covers
        double from;       // the value at its start
        double span;       // to the value at its end
        double at;         // the unwound angle at its start
        double turn;       // its clockwise sweep
        bool jump;         // both ends at one value
        double rate() const { return span == 0.0 ? 0.0 : turn / span; }
    };

    const CalibrationPoint* table_ = nullptr;
    Point position_{};
    std::vector<Point> points_;  // the table's points the sweeps were worked out for
    double start_ = 0.0;  // the first point's direction, in [0, 360)
    std::vector<Segment> segments_;
    double end_ = 0.0;        // the unwound angle at the last point
    double lastValue_ = 0.0;  // the last point's value
};

// The angle as drawn for one value, the sweeps worked out afresh.
double needleAngle(std::span<const CalibrationPoint> table, Point position, double value);

// Icon: the frame a callback value selects, cut toward zero as an integer
// (-1 or anything outside 0..frames-1 selects none, NaN too); the bitmap is
// bitmap + frame.
std::optional<int> iconFrame(double value, uint32_t frames);

// Slider: pixel offset = value x scale (non-finite gives 0).
double sliderOffset(double value, double scale);

// Moving image: the offset (pixels, >= 0) into the strip at which the window
// (bitmap + 1) looks, for a value within [min, max] mapped linearly onto
// (stripLength - windowLength); values outside the range clamp. min may be
// above max (the millibar tape runs 1050 to 930). NaN, or an empty range,
// gives 0.
double movingImageOffset(double value, double min, double max, int stripLength, int windowLength);

// Sprite: rotation in degrees = value x scale; offsets likewise (with
// sliderOffset). A non-finite product gives 0.
double spriteRotation(double value, double scale);

// Rectangles of pixels (a window's, a gauge's, a redrawn piece): whether
// two share any pixel, the pixels they share, the smallest rectangle
// holding both (either may be none), and one moved by an offset.
bool overlaps(const Box& a, const Box& b);
std::optional<Box> intersection(const Box& a, const Box& b);
std::optional<Box> unite(const std::optional<Box>& a, const std::optional<Box>& b);
Box moved(const Box& box, Point by);

}  // namespace devhost
