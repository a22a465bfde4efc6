// Needles point at their marks: each needle of a dial, drawn alone at the
// angle the host works out for a calibration table's value, has its tip on
// the line from its pivot to that table's point, within one pixel. This
// holds the renderer's turning (clockwise, about the hub) and the needle
// bitmaps (drawn pointing to +x, hub at the offset) together.
#include <gtest/gtest.h>

#include <cmath>
#include <span>

#include "devhost/core/geometry.h"
#include "devhost/core/host.h"
#include "devhost/render/gauge_painter.h"
#include "pictures.h"

namespace devhost {
namespace {

using namespace pictures;

constexpr int Lit = 128;              // alpha from which a pixel counts as needle
constexpr double TipDepth = 2.0;      // pixels behind the farthest one that make up the tip

struct Tip {
    double x = 0, y = 0;
    bool found = false;
};

// The alpha-weighted middle of the needle's farthest pixels from the pivot.
Tip findTip(cairo_surface_t* picture, Point pivot)
{
    auto distance = [&](int x, int y) { return std::hypot(x + 0.5 - pivot.x, y + 0.5 - pivot.y); };
    double farthest = -1;
    for (int y = 0; y < height(picture); ++y)
        for (int x = 0; x < width(picture); ++x)
            if (pixelAt(picture, x, y).a >= Lit)
                farthest = std::max(farthest, distance(x, y));
    Tip tip;
    double weight = 0;
    for (int y = 0; y < height(picture); ++y)
        for (int x = 0; x < width(picture); ++x)
            if (int a = pixelAt(picture, x, y).a; a >= Lit && distance(x, y) >= farthest - TipDepth) {
                tip.x += a * (x + 0.5);
                tip.y += a * (y + 0.5);
                weight += a;
            }
    if (weight > 0)
        tip = {tip.x / weight, tip.y / weight, true};
    return tip;
}

// How far the point lies off the ray from the pivot through the tip (and
// infinite when it lies behind the pivot).
double offTheLine(Point pivot, Tip tip, Point point)
{
    const double dx = tip.x - pivot.x, dy = tip.y - pivot.y, px = point.x - pivot.x, py = point.y - pivot.y;
    const double length = std::hypot(dx, dy);
    if (length == 0 || dx * px + dy * py <= 0)
        return INFINITY;
    return std::abs(dx * py - dy * px) / length;
}

class NeedleOnItsMarks : public testing::TestWithParam<const char*> {};

TEST_P(NeedleOnItsMarks, EveryTableValuePointsAtItsPoint)
{
    Host host(moduleUnderTest());
    GaugeInstance& gauge = host.place(GetParam());
    host.frame();
    BitmapImages images(host.bitmaps());
    int needles = 0;
    for (size_t index = 0; index < gauge.elements().size(); ++index) {
        GaugeInstance::Slot& slot = gauge.elements()[index];
        if (slot.element->kind != Needle)
            continue;
        ++needles;
        auto& needle = *reinterpret_cast<NeedleElement*>(slot.element);
        slot.element->imageFlags &= ~ImageHidden;
        const std::span<const CalibrationPoint> table(needle.table, needle.pointCount);
        for (const CalibrationPoint& mark : table) {
            slot.shown.angle = needleAngle(table, needle.common.position, mark.value);
            SurfaceHandle picture =
                renderGauge(gauge, images, {}, [&](size_t drawn) { return drawn == index; });
            const Tip tip = findTip(picture.get(), needle.common.position);
            ASSERT_TRUE(tip.found) << "needle " << index << " drawn at all";
            EXPECT_LE(offTheLine(needle.common.position, tip, mark.point), 1.0)
                << GetParam() << " needle " << index << " at " << mark.value << ": tip (" << tip.x << ","
                << tip.y << "), mark (" << mark.point.x << "," << mark.point.y << ")";
        }
    }
    EXPECT_GT(needles, 0);
}

// The horizon's bank pointer is not among them: its hub lies at the far end
// of its bitmap, so the pointer shows on the bank scale at the top, opposite
// the direction its table names.
INSTANTIATE_TEST_SUITE_P(Dials, NeedleOnItsMarks,
                         testing::Values("Tachometer_1", "Exhaust_Gas_Temp", "Oil_Pressure_1", "Engine_1_Press_Diff",
                                         "Fuel_Pressure_1", "Fuel_Quantity_Main_Front", "Flaps_Indicator", "Airspeed",
                                         "Altimeter", "Vertical_Speed", "Turn_Coordinator"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
}  // namespace devhost
