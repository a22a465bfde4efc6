// Engine pressures, tachometers, exhaust-gas temperature, fuel contents and
// flaps: 200 px dials (the tachometers 300 px), every mark placed through
// needleAngle() on the needle that reads it.
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "tools/assetgen/recipes.h"
#include "tools/assetgen/style.h"

namespace assetgen {

namespace {

// The small dials: 200 px, the dial 86 px in radius under a 14 px bezel.
constexpr double SmallDialR = 86, SmallBezelIn = 84, SmallBezelOut = 98;
constexpr double SmallMajorIn = 66, SmallMinorIn = 72, SmallTickOut = 80, SmallFigureR = 53;

void smallFace(cairo_t* cr)
{
    dialFace(cr, 100, 100, SmallDialR);
}

void smallBezel(cairo_t* cr)
{
    instrumentBezel(cr, 200, 200, 100, 100, SmallBezelIn, SmallBezelOut);
}

// A bezel for a dial whose needle pivots off-centre: the pivot's cover screw on top.
void smallBezelWithPivot(cairo_t* cr, const ElementInfo& needle)
{
    smallBezel(cr);
    hubCap(cr, needle.position.x, needle.position.y, 7);
}

void smallNeedle(cairo_t* cr, const ElementInfo& e, int width, int height)
{
    double tail = e.offset.x > 6 ? e.offset.x - 4 : 0;
    lanceNeedle(cr, e.offset.x, e.offset.y, width - e.offset.x - 2, tail, std::min(9.0, height - 2.0));
    if (tail > 0)
        hubCap(cr, e.offset.x, e.offset.y, std::min(7.0, e.offset.y - 1.0));
}

void label(cairo_t* cr, double x, double y, const char* s, double size = 11)
{
    text(cr, x, y, s, size, palette::Marking, Font::Label);
}

// ---------------------------------------------------------------- pressures

constexpr double OilFactor = 2050.82;

void pressureDifferenceFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Engine_1_Press_Diff", Needle, 1220);
    smallFace(cr);
    scaleTicks(cr, n, 0, 1, 0.05, SmallMinorIn, SmallTickOut, 1.6);
    scaleTicks(cr, n, 0.1, 0.9, 0.2, SmallMinorIn - 3, SmallTickOut, 2.4);
    for (int k = 0; k <= 5; ++k) {
        double v = k * 0.2;
        mark(cr, n, v, SmallMajorIn, SmallTickOut, 3.5);
        figureAt(cr, n, v, SmallFigureR, decimal(v), 17);
    }
    label(cr, 100, 150, "kg/cm\u00b2");
    label(cr, 100, 164, "DRUCKDIFF.", 10);
}

void fuelPressureFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Fuel_Pressure_1", Needle, 1250);
    smallFace(cr);
    scaleTicks(cr, n, 0, 60, 2, SmallMinorIn + 2, SmallTickOut, 1.4);
    scaleTicks(cr, n, 0, 60, 10, SmallMinorIn - 3, SmallTickOut, 2.4);
    scaleTicks(cr, n, 0, 60, 20, SmallMajorIn, SmallTickOut, 3.5);
    mark(cr, n, 30, SmallMajorIn, SmallTickOut, 3.5);
    for (int v = 0; v <= 60; v += 20)
        figureAt(cr, n, v, SmallFigureR, std::to_string(v), 17);
    label(cr, 100, 150, "kg/cm\u00b2");
    label(cr, 100, 164, "KRAFTSTOFF", 10);
}

void oilPressureFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Oil_Pressure_1", Needle, 1280);
    smallFace(cr);
    arcBand(cr, n.position, SmallTickOut - 4, SmallTickOut + 2, needleAngle(n, 0), needleAngle(n, 10 * OilFactor),
            palette::Red);
    scaleTicks(cr, n, 0, 10, 0.5, SmallMinorIn + 2, SmallTickOut, 1.4, OilFactor);
    scaleTicks(cr, n, 1, 9, 2, SmallMinorIn - 3, SmallTickOut, 2.4, OilFactor);
    scaleTicks(cr, n, 0, 10, 2, SmallMajorIn, SmallTickOut, 3.5, OilFactor);
    for (int v = 0; v <= 10; v += 2)
        figureAt(cr, n, v * OilFactor, SmallFigureR, std::to_string(v), 17);
    label(cr, 100, 150, "kg/cm\u00b2");
    label(cr, 100, 164, "SCHMIERSTOFF", 10);
}

// ---------------------------------------------------------------- tachometers, exhaust gas

constexpr double RpmPerUnit = 91;

// The host value at which the face marks `rpm`: the table's own points sit
// on the whole units below rpm / 91.
double rpmValue(double rpm)
{
    return std::floor(rpm / RpmPerUnit);
}

void tachometerFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Tachometer_1", Needle, 1160);
    Point c = n.position;
    dialFace(cr, c.x, c.y, 130);
    arcBand(cr, c, 118, 127, needleAngle(n, rpmValue(2000)), needleAngle(n, rpmValue(3000)), palette::Red);
    arcBand(cr, c, 118, 127, needleAngle(n, rpmValue(13000)), needleAngle(n, rpmValue(15000)), palette::Red);
    mark(cr, n, 0, 112, 126, 3);
    // Quarter and half marks only where the scale leaves them room.
    auto roomy = [&](int r, int step) {
        return needleAngle(n, rpmValue(r + step)) - needleAngle(n, rpmValue(r)) >= 3.0;
    };
    for (int r = 2000; r <= 15000; r += 250) {
        bool whole = r % 1000 == 0, half = r % 500 == 0;
        if (whole || (half && roomy(r, 500)) || roomy(r, 250))
            mark(cr, n, rpmValue(r), whole ? 104 : half ? 110 : 116, 126, whole ? 4.5 : half ? 2.5 : 1.5);
    }
    // The low end of the scale is crowded: each figure is as large as the
    // room to its nearer neighbour allows.
    constexpr double FigureRadius = 86;
    for (int k = 2; k <= 14; ++k) {
        double here = needleAngle(n, rpmValue(k * 1000));
        double room = std::min(here - needleAngle(n, rpmValue((k - 1) * 1000)),
                               needleAngle(n, rpmValue((k + 1) * 1000)) - here) * std::numbers::pi / 180 * FigureRadius;
        figureAt(cr, n, rpmValue(k * 1000), FigureRadius, std::to_string(k), std::clamp(room * 0.9, 15.0, 24.0));
    }
    // Right of the mark the needle rests on at standstill, where it never goes.
    label(cr, c.x + 30, c.y + 44, "U/min", 15);
    label(cr, c.x + 30, c.y + 62, "\u00d71000", 13);
}

// The scale of a dial whose needle pivots near its edge: a coloured band,
// marks every `step` (long ones every `major`) and figures in hundreds at
// the long marks, just inside the needle's tip. `toValue` turns the face's
// unit into the needle's.
struct TipScale {
    double from, to, step, major;
    double bandFrom, bandTo;
    Colour band;
};

void tipScale(cairo_t* cr, const ElementInfo& n, double reach, const TipScale& s,
              const std::function<double(double)>& toValue)
{
    arcBand(cr, n.position, reach - 8, reach - 1, needleAngle(n, toValue(s.bandFrom)),
            needleAngle(n, toValue(s.bandTo)), s.band);
    int count = static_cast<int>(std::lround((s.to - s.from) / s.step));
    for (int i = 0; i <= count; ++i) {
        double v = s.from + i * s.step;
        bool major = std::fmod(v, s.major) == 0;
        mark(cr, n, toValue(v), major ? reach - 21 : reach - 14, reach - 1, major ? 3.5 : 1.6);
        if (major)
            figureAt(cr, n, toValue(v), reach - 32, std::to_string(static_cast<int>(v) / 100), 17);
    }
}

void exhaustGasFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Exhaust_Gas_Temp", Needle, 1190);
    smallFace(cr);
    auto rankine = [](double celsius) { return celsius * 1.8 + 491.67; };
    double reach = 127 - n.offset.x;
    tipScale(cr, n, reach, {300, 1000, 50, 300, 900, 1000, palette::Red}, rankine);
    mark(cr, n, rankine(1000), reach - 21, reach - 1, 3.5);  // the scale's end
    // Clear of the needle, which sweeps above its pivot.
    label(cr, 48, 146, "\u00b0C \u00d7100", 11);
    label(cr, 152, 146, "ABGAS", 10);
}

void fuelQuantityFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Fuel_Quantity_Main_Front", Needle, 1400);
    smallFace(cr);
    tipScale(cr, n, 104 - n.offset.x, {0, 950, 50, 300, 0, 950, palette::Yellow}, [](double litres) { return litres; });
    // Below the pivot, clear of the needle.
    label(cr, 100, 166, "LITER \u00d7100", 10);
    label(cr, 100, 178, "KRAFTSTOFF", 10);
}

// ---------------------------------------------------------------- flaps

void flapsFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element("Flaps_Indicator", Needle, 1430);
    smallFace(cr);
    double reach = 100 - n.offset.x;
    // Every table point is a 10-degree mark; the 5-degree marks halve them.
    for (size_t i = 0; i < n.table.size(); ++i) {
        mark(cr, n, n.table[i].value, reach - 16, reach - 3, 3.2);
        if (i + 1 < n.table.size())
            mark(cr, n, (n.table[i].value + n.table[i + 1].value) / 2, reach - 10, reach - 3, 1.6);
    }
    figureAt(cr, n, n.table.front().value, reach - 30, "ZU", 13);
    figureAt(cr, n, n.table.back().value, reach - 30, "AUF", 13);
    for (size_t i = 1; i + 1 < n.table.size(); ++i)
        figureAt(cr, n, n.table[i].value, reach - 28, std::to_string(i * 10), 14);
    label(cr, 60, 134, "LANDE-", 10);
    label(cr, 60, 146, "KLAPPEN", 10);
}

// ---------------------------------------------------------------- landing indicator

void landingFace(cairo_t* cr, const Layout& l)
{
    const auto& course = l.element("Landing_Indicator", Needle, 3060);
    const auto& glide = l.element("Landing_Indicator", Needle, 3070);
    smallFace(cr);
    double courseReach = 98 - course.offset.x, glideReach = 107 - glide.offset.x;
    for (int k = -4; k <= 4; ++k) {
        Xy p = polar(course.position, courseReach - 4, needleAngle(course, k * 127.0 / 4));
        dot(cr, p.x, p.y, k == 0 ? 3.2 : 2.2, palette::Marking);
        Xy q = polar(glide.position, glideReach - 4, needleAngle(glide, k * 120.0 / 4));
        dot(cr, q.x, q.y, k == 0 ? 3.2 : 2.2, palette::Marking);
    }
    // The centre ring where both needles cross at zero.
    double cx = course.position.x, cy = glide.position.y;
    cairo_arc(cr, cx, cy, 9, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, 2);
    setColour(cr, palette::Marking);
    cairo_stroke(cr);
    label(cr, 100, 178, "ANFLUG", 10);
}

void barNeedle(cairo_t* cr, int length)
{
    cairo_move_to(cr, 2, 4);
    cairo_line_to(cr, length - 3, 4);
    cairo_set_line_width(cr, 3.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, palette::Marking);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void landingBezel(cairo_t* cr, const Layout& l)
{
    smallBezel(cr);
    for (int needle : {3060, 3070}) {
        Point pivot = l.element("Landing_Indicator", Needle, needle).position;
        hubCap(cr, pivot.x, pivot.y, 6);
    }
}

}  // namespace

void addEngineInstruments(Recipes& out)
{
    auto bezel = [](cairo_t* cr, const Layout&) { smallBezel(cr); };
    auto pivotBezel = [](const char* gauge, int needle) {
        return [=](cairo_t* cr, const Layout& l) { smallBezelWithPivot(cr, l.element(gauge, Needle, needle)); };
    };
    auto needleOf = [](const char* gauge, int bitmap, int w, int h) {
        return [=](cairo_t* cr, const Layout& l) { smallNeedle(cr, l.element(gauge, Needle, bitmap), w, h); };
    };

    out.add(1150, 300, 300, tachometerFace);
    out.add(1160, 125, 18, needleOf("Tachometer_1", 1160, 125, 18));
    out.add(1170, 300, 300, [](cairo_t* cr, const Layout& l) {
        Point c = l.element("Tachometer_1", Needle, 1160).position;
        instrumentBezel(cr, 300, 300, c.x, c.y, 128, 147);
    });
    out.add(1180, 200, 200, exhaustGasFace);
    out.add(1190, 127, 8, needleOf("Exhaust_Gas_Temp", 1190, 127, 8));
    out.add(1200, 200, 200, pivotBezel("Exhaust_Gas_Temp", 1190));
    out.add(1210, 200, 200, pressureDifferenceFace);
    out.add(1220, 92, 18, needleOf("Engine_1_Press_Diff", 1220, 92, 18));
    out.add(1230, 200, 200, bezel);
    out.add(1240, 200, 200, fuelPressureFace);
    out.add(1250, 94, 16, needleOf("Fuel_Pressure_1", 1250, 94, 16));
    out.add(1260, 200, 200, bezel);
    out.add(1270, 200, 200, oilPressureFace);
    out.add(1280, 94, 16, needleOf("Oil_Pressure_1", 1280, 94, 16));
    out.add(1290, 200, 200, bezel);
    out.add(1390, 200, 200, fuelQuantityFace);
    out.add(1400, 104, 6, needleOf("Fuel_Quantity_Main_Front", 1400, 104, 6));
    out.add(1410, 200, 200, pivotBezel("Fuel_Quantity_Main_Front", 1400));
    out.add(1420, 200, 200, flapsFace);
    out.add(1430, 100, 8, needleOf("Flaps_Indicator", 1430, 100, 8));
    out.add(1440, 200, 200, pivotBezel("Flaps_Indicator", 1430));
    out.add(3050, 200, 200, landingFace);
    out.add(3060, 98, 8, [](cairo_t* cr, const Layout&) { barNeedle(cr, 98); });
    out.add(3070, 107, 8, [](cairo_t* cr, const Layout&) { barNeedle(cr, 107); });
    out.add(3080, 200, 200, landingBezel);
}

}  // namespace assetgen
