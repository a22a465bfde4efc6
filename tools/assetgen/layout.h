// Where the module's elements sit and how its needles and discs turn, read
// from the module's own records so that every mark is drawn where the
// instrument will point: no table is written down twice.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "framework/gauge_model.h"

namespace assetgen {

// One drawable element as the artwork needs it.
//
// Sprites: the shown turn is the rotation value times its scale, positive
// counter-clockwise on screen (the way the gyro's compass card must turn
// as the heading rises); the window bitmap (bitmap + 1) lies over the
// texture, open where it is pure black. Moving images: the strip moves by
// (value - start) / (end - start) of its length less the window's.
struct ElementInfo {
    std::string gauge;             // the gauge's name
    ElementKind kind = StaticImage;
    int bitmap = 0;
    Point position{};              // on the gauge's face
    Point offset{};                // needle hub in its bitmap / sprite texture centre on the face
    std::vector<CalibrationPoint> table;  // needles
    double rotationScale = 0.0;    // sprites: degrees per unit
    double xScale = 0.0;           // sliders and sprites: pixels per unit
    double yScale = 0.0;
    double rangeStart = 0.0;       // moving images: the moving axis's range
    double rangeEnd = 0.0;
};

class Layout {
public:
    // Reads every element of every gauge of the linkage; null reads nothing.
    explicit Layout(const LinkageRecord* linkage);

    // The `ordinal`-th element of that kind and bitmap in the gauge's drawing
    // order, as the module's records have it. Throws when they do not.
    const ElementInfo& element(std::string_view gauge, ElementKind kind, int bitmap, int ordinal = 0) const;

    // The gauges whose elements the artwork was placed against, for the
    // generator's report.
    const std::set<std::string>& fromModule() const { return fromModule_; }

private:
    std::vector<ElementInfo> module_;
    mutable std::set<std::string> fromModule_;
};

// The needle's direction for a value, in degrees clockwise from the +x axis
// of the screen (y down), as the host turns it (devhost::NeedleSweep),
// unwound: the angles of two values differ by the needle's travel between
// them, so scales and bands can be laid out from one to the other.
double needleAngle(const ElementInfo& needle, double value);

}  // namespace assetgen
