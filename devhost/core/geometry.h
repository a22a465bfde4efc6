// Where the host draws what the module returns: needle angles from
// calibration tables, and the placement rules for icons, sliders, moving
// images and sprites. Angles are in degrees, clockwise on the screen (y
// grows downwards), 0 pointing to +x: a needle bitmap is drawn pointing to
// +x and turned by this angle about its pivot.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "framework/gauge_model.h"

namespace devhost {

// Needle with a table: the angle from the needle's position to each table
// point, interpolated clockwise in table order between neighbouring points;
// beyond either end the nearest segment's rate continues (so a two-point
// half-turn table turns as often as the value demands); repeated points hold
// the needle still over their range. Descending tables work the same way.
// A non-finite value gives the first point's angle. An empty table returns
// the value itself (the host turns the needle by the value directly).
double needleAngle(std::span<const CalibrationPoint> table, Point position, double value);

// Icon: the frame a callback value selects (-1 or anything outside
// 0..frames-1 selects none); the bitmap is bitmap + frame.
std::optional<int> iconFrame(double value, uint32_t frames);

// Slider: pixel offset = value x scale (non-finite gives 0).
double sliderOffset(double value, double scale);

// Moving image: the offset (pixels, >= 0) into the strip at which the window
// (bitmap + 1) looks, for a value within [min, max] mapped linearly onto
// (stripLength - windowLength); values outside the range clamp.
double movingImageOffset(double value, double min, double max, int stripLength, int windowLength);

// Sprite: rotation in degrees = value x scale; offsets likewise.
double spriteRotation(double value, double scale);

}  // namespace devhost
