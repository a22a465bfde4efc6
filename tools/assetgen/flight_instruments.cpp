// Airspeed, altimeter, horizon, gyro, vertical speed, turn and ADF bearing
// indicators. Every scale is placed through needleAngle() on the element
// that will point at it.
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string>

#include "tools/assetgen/recipes.h"
#include "tools/assetgen/style.h"

namespace assetgen {

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

// The big dials: 300 px wide, the dial 130 px in radius under a 20 px bezel.
constexpr double DialR = 130, BezelIn = 128, BezelOut = 148;
constexpr double MajorIn = 108, MinorIn = 116, TickOut = 126, FigureR = 91;

// The long needle of the airspeed indicator and the metric altimeter.
void mainNeedle(cairo_t* cr, const ElementInfo& e, int w)
{
    lanceNeedle(cr, e.offset.x, e.offset.y, w - e.offset.x - 3, e.offset.x - 6, 11);
    hubCap(cr, e.offset.x, e.offset.y, 10);
}

// ---------------------------------------------------------------- airspeed

constexpr const char* Asi = "Airspeed";
constexpr int AsiNeedle = 300;

void airspeedFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Asi, Needle, AsiNeedle, 0);
    dialFace(cr, n.position.x, n.position.y, DialR);
    mark(cr, n, 0, MajorIn, TickOut, 4);
    scaleTicks(cr, n, 120, 380, 20, MinorIn, TickOut, 2);
    scaleTicks(cr, n, 420, 980, 20, MinorIn, TickOut, 2);
    scaleTicks(cr, n, 450, 950, 100, MinorIn - 4, TickOut, 3);
    for (double v : {100.0, 200.0, 300.0, 398.0, 402.0, 500.0, 600.0, 700.0, 800.0, 900.0, 1000.0})
        mark(cr, n, v, MajorIn, TickOut, 4.5);
    for (double v : {200.0, 300.0, 500.0, 600.0, 700.0, 800.0, 900.0})
        figureAt(cr, n, v, FigureR, number(v), 19);
    // Figures that stand close to a neighbour or to the blade are set a few
    // degrees aside from their mark, away from it.
    auto beside = [&](double v, double aside, double r, const char* s, double size) {
        figure(cr, n.position, needleAngle(n, v) + aside, r, s, size);
    };
    beside(100, 7, FigureR - 12, "100", 17);
    beside(1000, -7, FigureR - 12, "1000", 17);
    beside(398, -8, FigureR - 2, "400", 19);
    beside(402, 9, FigureR - 2, "400", 19);
    // Above the hub: below it, the needle would lie on it at standstill.
    text(cr, n.position.x, n.position.y - 46, "km/h", 16, palette::Marking, Font::Label);
}

void knotsFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Asi, Needle, AsiNeedle, 1);
    dialFace(cr, n.position.x, n.position.y, DialR);
    mark(cr, n, 0, MajorIn, TickOut, 4.5);
    scaleTicks(cr, n, 60, 640, 10, MinorIn + 2, TickOut, 1.8);
    scaleTicks(cr, n, 50, 650, 50, MinorIn - 3, TickOut, 3);
    scaleTicks(cr, n, 100, 600, 100, MajorIn, TickOut, 4.5);
    for (int k = 1; k <= 6; ++k)
        figureAt(cr, n, k * 100, FigureR, std::to_string(k), 26);
    text(cr, n.position.x, n.position.y + 40, "KNOTS", 15, palette::Marking, Font::Label);
    text(cr, n.position.x, n.position.y + 58, "\u00d7100", 13, palette::Marking, Font::Label);
}

void airspeedBezel(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Asi, Needle, AsiNeedle, 0);
    instrumentBezel(cr, 300, 330, n.position.x, n.position.y, BezelIn, BezelOut);
}

// The blade over the gap between the two 400 marks, in a bitmap of the
// upper-left quarter: the blade alone, the rest pure black, so that the
// bezel and its screw show through as their own (the blade is lit at night
// like the faces, the bezel is not).
void airspeedBlade(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Asi, Needle, AsiNeedle, 0);
    double a = needleAngle(n, 398) + 2.5, b = needleAngle(n, 402) - 2.5;
    Point c = n.position;
    arcBand(cr, c, 56, BezelIn, a, b, {0.16, 0.16, 0.17});
    arcBand(cr, c, 56, BezelIn, a, a + 1.2, {0.38, 0.38, 0.39});
    arcBand(cr, c, 56, BezelIn, b - 1.2, b, {0.04, 0.04, 0.04});
}

// ---------------------------------------------------------------- altimeter

constexpr const char* Alt = "Altimeter";

// Both faces: one turn of the needle in hundreds, marks every 20.
void altimeterDial(cairo_t* cr, const ElementInfo& n)
{
    dialFace(cr, n.position.x, n.position.y, DialR);
    scaleTicks(cr, n, 0, 980, 20, MinorIn, TickOut, 2);
    scaleTicks(cr, n, 50, 950, 100, MinorIn - 4, TickOut, 3);
    scaleTicks(cr, n, 0, 900, 100, MajorIn, TickOut, 4.5);
}

void metricAltimeterFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Alt, Needle, 340);
    altimeterDial(cr, n);
    // 0 and 5 are left to the kilometre counter and the millibar window.
    for (int k = 1; k <= 9; ++k)
        if (k != 5)
            figureAt(cr, n, k * 100, FigureR, std::to_string(k), 26);
    const auto& tape = l.element(Alt, MovingImage, 360);
    windowFrame(cr, tape.position.x, tape.position.y, 56, 34);
    const auto& km = l.element(Alt, MovingImage, 350);
    windowFrame(cr, km.position.x, km.position.y, 40, 40);
    // Left of the window: above it, the needle would lie on it at 0 m.
    text(cr, km.position.x - 13, km.position.y + 20, "km", 13, palette::Marking, Font::Label);
    text(cr, tape.position.x + 28, tape.position.y + 46, "mb", 13, palette::Marking, Font::Label);
    // Clear of the hub and of the tails of every needle that turns over it.
    text(cr, n.position.x - 50, n.position.y - 27, "\u00d7100 m", 13, palette::Marking, Font::Label);
}

void britishAltimeterFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Alt, Needle, 400);
    altimeterDial(cr, n);
    for (int k = 0; k <= 9; ++k)
        // 2 and 3 stand either side of the pressure window: set them further in.
        figureAt(cr, n, k * 100, k == 2 || k == 3 ? FigureR - 20 : FigureR, std::to_string(k),
                 k == 2 || k == 3 ? 22 : 26);
    const auto& disc = l.element(Alt, Sprite, 380);
    windowFrame(cr, disc.position.x, disc.position.y, 45, 54);
    // Below the hub: on the ground the needles stand straight up.
    text(cr, n.position.x, n.position.y + 42, "ALTIMETER", 12, palette::Marking, Font::Label);
    text(cr, n.position.x, n.position.y + 58, "FEET", 13, palette::Marking, Font::Label);
}

// The pressure-setting disc, seen at the right of the dial: the value p sits
// where the disc's turn for p brings it under the window's index.
void inchesDisc(cairo_t* cr, const Layout& l)
{
    const auto& s = l.element(Alt, Sprite, 380);
    Point c{110, 110};
    // The index: the window's centre, seen from the texture centre.
    double index =
        std::atan2(s.position.y + 27 - s.offset.y, s.position.x + 22.5 - s.offset.x) * 180 / std::numbers::pi;
    cairo_arc(cr, c.x, c.y, 109, 0, 2 * std::numbers::pi);
    setColour(cr, {0.09, 0.09, 0.095});
    cairo_fill(cr);
    for (int i = 279; i <= 315; ++i) {
        double p = i / 10.0;
        double deg = index + (p - 29.9) * s.rotationScale;
        tick(cr, c, deg, 98, 108, 1.6);
        Xy at = polar(c, 84, deg);
        char figures[8];
        std::snprintf(figures, sizeof figures, "%.1f", p);
        figures[2] = ',';
        text(cr, at.x, at.y, figures, 10.5, palette::Marking, Font::Figures, deg - index);
    }
    for (int i = 279; i < 315; ++i)
        tick(cr, c, index + (i / 10.0 + 0.05 - 29.9) * s.rotationScale, 102, 108, 1.0);
}

void inchesWindow(cairo_t* cr, const Layout&)
{
    cairo_move_to(cr, 31, 27);
    cairo_line_to(cr, 45, 27);
    cairo_set_line_width(cr, 1.6);
    setColour(cr, palette::Red);
    cairo_stroke(cr);
}

constexpr int TapeWidth = 775, TapeHeight = 34, TapeWindow = 56;

void millibarTape(cairo_t* cr, const Layout& l)
{
    const auto& t = l.element(Alt, MovingImage, 360);
    cairo_rectangle(cr, 0, 0, TapeWidth, TapeHeight);
    setColour(cr, {0.10, 0.10, 0.105});
    cairo_fill(cr);
    // Offset 0 shows the range's start at the window's centre.
    double perUnit = (TapeWidth - TapeWindow) / (t.rangeEnd - t.rangeStart);
    double lo = std::min(t.rangeStart, t.rangeEnd), hi = std::max(t.rangeStart, t.rangeEnd);
    for (int v = static_cast<int>(lo); v <= static_cast<int>(hi); ++v) {
        double x = TapeWindow / 2.0 + (v - t.rangeStart) * perUnit;
        double len = v % 10 == 0 ? 12 : v % 5 == 0 ? 8 : 5;
        cairo_move_to(cr, x, 0);
        cairo_line_to(cr, x, len);
        cairo_set_line_width(cr, v % 10 == 0 ? 1.6 : 1.0);
        setColour(cr, palette::Marking);
        cairo_stroke(cr);
        if (v % 10 == 0)
            text(cr, x, 24, std::to_string(v), 13, palette::Marking);
    }
}

void tapeWindow(cairo_t* cr, const Layout&)
{
    cairo_move_to(cr, TapeWindow / 2.0, 0);
    cairo_line_to(cr, TapeWindow / 2.0, 15);
    cairo_set_line_width(cr, 1.6);
    setColour(cr, palette::Red);
    cairo_stroke(cr);
}

constexpr int CounterWidth = 840, CounterCell = 40;

void kilometreCounter(cairo_t* cr, const Layout& l)
{
    figureStrip(cr, l.element(Alt, MovingImage, 350), CounterWidth, CounterCell, false, 24, 100);
}

void counterWindow(cairo_t* cr, const Layout&)
{
    for (double x : {0.0, 40.0}) {
        double d = x == 0 ? 5 : -5;
        triangle(cr, {x, 15}, {x + d, 20}, {x, 25});
    }
    setColour(cr, palette::Marking);
    cairo_fill(cr);
}

void altimeterBezel(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Alt, Needle, 340);
    bezelRing(cr, n.position.x, n.position.y, BezelIn, BezelOut);
    cornerScrews(cr, 300, 300, 14, 7);
    // The pressure-setting knob below the dial.
    flutedKnob(cr, 150, 303, 26, 18, Nan);
}

// The British needles: a thin ten-thousands pointer with a triangle at the
// rim, a short broad thousands hand and a long hundreds hand.
void tenThousandsNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(Alt, Needle, 420);
    cairo_move_to(cr, e.offset.x, e.offset.y);
    cairo_line_to(cr, 66, e.offset.y);
    cairo_set_line_width(cr, 2.0);
    setColour(cr, palette::Marking);
    cairo_stroke(cr);
    double y = e.offset.y;
    triangle(cr, {81, y}, {64, y - 5.5}, {64, y + 5.5});
    cairo_fill(cr);
}

void thousandsNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(Alt, Needle, 410);
    lanceNeedle(cr, e.offset.x, e.offset.y, 103 - e.offset.x - 2, e.offset.x - 14, 16);
    hubCap(cr, e.offset.x, e.offset.y, 9);
}

void hundredsNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(Alt, Needle, 400);
    lanceNeedle(cr, e.offset.x, e.offset.y, 149 - e.offset.x - 2, e.offset.x - 10, 10);
    hubCap(cr, e.offset.x, e.offset.y, 8);
}

// ---------------------------------------------------------------- artificial horizon

constexpr const char* Ah = "Artificial_Horizon";
constexpr double AhWindowR = 72, AhBezelIn = 102, AhBezelOut = 123, AhRingIn = 124, AhRingOut = 147;
// Where the face's painted ring stands caged, and how far the free ring turns.
constexpr double FestDeg = 90, LosDeg = 112, RingTurn = LosDeg - FestDeg;

Point ahCentre(const Layout& l)
{
    return l.element(Ah, Needle, 1020).position;
}

// The caging ring, turned `turn` degrees clockwise from its caged position.
void cagingRing(cairo_t* cr, Point c, double turn)
{
    arcBand(cr, c, AhRingIn, AhRingOut, 0, 360, {0.09, 0.09, 0.095});
    cairo_arc(cr, c.x, c.y, AhRingIn + 1, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, 2);
    setColour(cr, {0.30, 0.30, 0.31});
    cairo_stroke(cr);
    // Knurling on the outer edge.
    for (int k = 0; k < 120; ++k)
        tick(cr, c, k * 3.0 + turn, AhRingOut - 5, AhRingOut, 1.2, {0.28, 0.28, 0.29});
    // The grip lug between the words.
    double grip = (FestDeg + LosDeg) / 2 + turn;
    arcBand(cr, c, AhRingIn + 4, AhRingOut + 4, grip - 6, grip + 6, {0.22, 0.22, 0.23});
    for (int k = -2; k <= 2; ++k)
        tick(cr, c, grip + k * 2.2, AhRingIn + 7, AhRingOut + 2, 1.0, {0.05, 0.05, 0.05});
    auto word = [&](double deg, const char* s, Colour col) {
        Xy p = polar(c, (AhRingIn + AhRingOut) / 2, deg + turn);
        text(cr, p.x, p.y, s, 12, col, Font::Label, deg + turn - 90);
    };
    word(FestDeg - 11, "FEST", palette::Red);
    word(LosDeg + 9, "LOS", palette::Marking);
}

// How the ball's path bends: the slider moves it xScale per unit sideways
// and lifts it by -yScale per unit squared, so it rises by this much per
// pixel squared of sideways travel.
double tubeCurvature(const ElementInfo& ball)
{
    return -ball.yScale / (ball.xScale * ball.xScale);
}

// The inclinometer's curved tube, following the ball's path.
void ballTube(cairo_t* cr, double cx, double cy, double halfWidth, double lift, double thickness)
{
    auto y = [&](double x) { return cy - lift * (x - cx) * (x - cx); };
    cairo_new_path(cr);
    for (double x = cx - halfWidth; x <= cx + halfWidth; x += 1)
        x == cx - halfWidth ? cairo_move_to(cr, x, y(x)) : cairo_line_to(cr, x, y(x));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, thickness + 4);
    setColour(cr, {0.42, 0.42, 0.43});
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, thickness);
    setColour(cr, {0.03, 0.035, 0.04});
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void horizonFace(cairo_t* cr, const Layout& l)
{
    Point c = ahCentre(l);
    dialFace(cr, c.x, c.y, AhBezelIn + 2);
    cagingRing(cr, c, 0);
    const auto& ball = l.element(Ah, Slider, 1060);
    double bx = ball.position.x + 7, by = ball.position.y + 10;  // the ball's centre at rest
    ballTube(cr, bx, by, 58, tubeCurvature(ball), 16);
    for (double dx : {-9.5, 9.5})
        tick(cr, {int(bx + dx), int(by)}, 90, -9, 9, 1.5);
}

void horizonBar(cairo_t* cr, const Layout& l)
{
    double perDegree = l.element(Ah, Sprite, 1010).yScale;
    auto bar = [&](double y, double half, double thick) {
        cairo_rectangle(cr, 128 - half, y - thick / 2, 2 * half, thick);
        setColour(cr, {0.05, 0.05, 0.05});
        cairo_fill(cr);
        cairo_rectangle(cr, 128 - half + 1, y - thick / 2 + 1, 2 * half - 2, thick - 2);
        setColour(cr, palette::Marking);
        cairo_fill(cr);
    };
    bar(128, 128, 7);
    // Pitch lines at 10 and 20 degrees either way.
    for (double d : {10.0, 20.0})
        for (double s : {-1.0, 1.0})
            bar(128 + s * d * perDegree, d == 10 ? 22 : 14, 3.5);
}

void bankPointer(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(Ah, Needle, 1020);
    double y = e.offset.y;
    triangle(cr, {1, y}, {13, y - 6}, {13, y + 6});
    setColour(cr, palette::Marking);
    cairo_fill(cr);
}

void horizonMask(cairo_t* cr, const Layout& l)
{
    const auto& m = l.element(Ah, StaticImage, 1030);
    Point c = ahCentre(l);
    Point local{c.x - m.position.x, c.y - m.position.y};
    const auto& tube = l.element(Ah, Slider, 1060);
    double tubeTop = tube.position.y - 11 - m.position.y;
    cairo_save(cr);
    // Inside the bezel, above the ball tube.
    cairo_rectangle(cr, 0, 0, 206, tubeTop);
    cairo_clip(cr);
    cairo_arc(cr, local.x, local.y, AhBezelIn + 3, 0, 2 * std::numbers::pi);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 0, 206, 196);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, local.x, local.y, AhWindowR, 2 * std::numbers::pi, 0);
    cairo_pattern_t* p = cairo_pattern_create_radial(local.x, local.y - 20, 10, local.x, local.y, 110);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.13, 0.13, 0.14);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.06, 0.06, 0.065);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_arc(cr, local.x, local.y, AhWindowR + 1, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, 2.5);
    setColour(cr, {0.36, 0.36, 0.37});
    cairo_stroke(cr);
    // Bank marks where the pointer's tip stands for 0, 10, 20, 30 and 60 degrees either way.
    const auto& pointer = l.element(Ah, Needle, 1020);
    for (double b : {-60.0, -30.0, -20.0, -10.0, 0.0, 10.0, 20.0, 30.0, 60.0}) {
        double deg = needleAngle(pointer, b) + 180;
        double len = b == 0 ? 14 : std::fmod(std::abs(b), 30) == 0 ? 11 : 7;
        tick(cr, local, deg, AhWindowR + 1, AhWindowR + 1 + len, b == 0 ? 4 : 2.2);
    }
    cairo_restore(cr);
    // The fixed aircraft: wings, body dot and fin.
    setColour(cr, {0.95, 0.62, 0.15});
    for (double s : {-1.0, 1.0}) {
        cairo_rectangle(cr, local.x + s * 14 - (s < 0 ? 34 : 0), local.y - 1.8, 34, 3.6);
        cairo_fill(cr);
    }
    cairo_arc(cr, local.x, local.y, 4, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_rectangle(cr, local.x - 1.5, local.y - 14, 3, 10);
    cairo_fill(cr);
}

void warningFlag(cairo_t* cr, const Layout&)
{
    cairo_rectangle(cr, 0, 0, 37, 50);
    setColour(cr, palette::Yellow);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, 37, 50);
    cairo_clip(cr);
    for (int k = -4; k < 8; ++k) {
        cairo_move_to(cr, k * 14, 50);
        cairo_line_to(cr, k * 14 + 7, 50);
        cairo_line_to(cr, k * 14 + 57, 0);
        cairo_line_to(cr, k * 14 + 50, 0);
        cairo_close_path(cr);
    }
    setColour(cr, {0.08, 0.08, 0.08});
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_rectangle(cr, 0.5, 0.5, 36, 49);
    cairo_set_line_width(cr, 1);
    setColour(cr, {0.3, 0.3, 0.3});
    cairo_stroke(cr);
}

void inclinometerBall(cairo_t* cr, double cx, double cy, double r)
{
    cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 1.0, 0.97);
    cairo_pattern_add_color_stop_rgb(p, 0.6, 0.85, 0.84, 0.78);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.45, 0.44, 0.40);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void horizonBezel(cairo_t* cr, const Layout& l)
{
    Point c = ahCentre(l);
    bezelRing(cr, c.x, c.y, AhBezelIn, AhBezelOut);
    // The caging index at the bottom.
    Xy tip = polar(c, AhBezelOut - 8, FestDeg);
    triangle(cr, {tip.x, tip.y + 7}, {tip.x - 6, tip.y - 3}, {tip.x + 6, tip.y - 3});
    setColour(cr, palette::Marking);
    cairo_fill(cr);
    cornerScrews(cr, 304, 304, 12, 6);
}

// ---------------------------------------------------------------- directional gyro

constexpr const char* Dg = "Directionnal_Gyro";
constexpr double CardR = 130;

void gyroFace(cairo_t* cr, const Layout&)
{
    dialFace(cr, 150, 150, 134);
}

// The compass card: heading h sits where the card's turn for h brings it to the top.
void compassCard(cairo_t* cr, const Layout& l)
{
    const auto& s = l.element(Dg, Sprite, 260);
    Point c{132, 132};
    arcBand(cr, c, 0, CardR, 0, 360, {0.10, 0.10, 0.105});
    const char* names[] = {"N", "3", "6", "O", "12", "15", "S", "21", "24", "W", "30", "33"};
    for (int h = 0; h < 360; h += 5) {
        double deg = -90 + h * s.rotationScale;
        tick(cr, c, deg, h % 10 == 0 ? 104 : 110, 122, h % 30 == 0 ? 3.2 : h % 10 == 0 ? 2.2 : 1.4);
        if (h % 30 == 0) {
            Xy p = polar(c, 90, deg);
            bool letter = h % 90 == 0;
            text(cr, p.x, p.y, names[h / 30], letter ? 24 : 19, letter ? palette::Marking : palette::Marking,
                 Font::Figures, h * s.rotationScale);
        }
    }
}

void cardWindow(cairo_t* cr, const Layout&)
{
    Point c{132, 132};
    arcBand(cr, c, 123, 132, 0, 360, {0.13, 0.13, 0.135});
    for (double d : {-12.0, 0.0, 12.0}) {
        bool main = d == 0;
        Xy a = polar(c, main ? 106 : 113, -90 + d), b = polar(c, 124, -90 + d - (main ? 4.5 : 2.5)),
           e = polar(c, 124, -90 + d + (main ? 4.5 : 2.5));
        triangle(cr, a, b, e);
        setColour(cr, main ? Colour{0.95, 0.62, 0.15} : palette::Marking);
        cairo_fill(cr);
    }
}

// The course disc: glass, carrying the course line and the aircraft.
void courseDisc(cairo_t* cr, const Layout&)
{
    double cx = 106, cy = 83;
    Colour orange{0.95, 0.62, 0.15};
    auto outlined = [&](auto path) {
        path();
        cairo_set_line_width(cr, 2);
        setColour(cr, {0.05, 0.05, 0.05});
        cairo_stroke_preserve(cr);
        setColour(cr, orange);
        cairo_fill(cr);
    };
    outlined([&] { cairo_rectangle(cr, cx - 1.5, 2, 3, 162); });
    outlined([&] {
        triangle(cr, {cx, 1}, {cx - 7, 15}, {cx + 7, 15});
    });
    outlined([&] { cairo_rectangle(cr, cx - 62, cy - 3, 124, 6); });
    outlined([&] { cairo_rectangle(cr, cx - 4, cy - 26, 8, 60); });
    outlined([&] { cairo_rectangle(cr, cx - 20, cy + 26, 40, 5); });
}

void gyroBezel(cairo_t* cr, const Layout&)
{
    instrumentBezel(cr, 300, 300, 150, 150, 132, BezelOut);
    flutedKnob(cr, 150, 150, 24, 16, Nan);
}

// ---------------------------------------------------------------- vertical speed

constexpr const char* Vsi = "Vertical_Speed";
constexpr int VsiNeedle = 1110;
constexpr double VsiUnitsPerMetrePerSecond = 256;

void metricVsiFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Vsi, Needle, VsiNeedle, 1);
    dialFace(cr, n.position.x, n.position.y, DialR);
    auto ms = [](double v) { return v * VsiUnitsPerMetrePerSecond; };
    for (double s : {-1.0, 1.0}) {
        for (int v = 1; v <= 10; ++v)
            mark(cr, n, ms(s * v), v % 5 == 0 ? MajorIn : MinorIn, TickOut, v % 5 == 0 ? 4.5 : 2);
        for (int v = 12; v <= 30; v += 2)
            mark(cr, n, ms(s * v), v % 10 == 0 ? MajorIn : MinorIn, TickOut, v % 10 == 0 ? 4.5 : 2);
        for (int v : {5, 10, 20, 30})
            figureAt(cr, n, ms(s * v), FigureR, std::to_string(v), 24);
    }
    mark(cr, n, 0, MajorIn - 6, TickOut, 5);
    figureAt(cr, n, 0, FigureR, "0", 24);
    // On the left half: the metric cover hides the right one.
    text(cr, n.position.x - 34, n.position.y - 46, "\u2191 STEIGEN", 12, palette::Marking, Font::Label);
    text(cr, n.position.x - 34, n.position.y + 46, "\u2193 SINKEN", 12, palette::Marking, Font::Label);
}

void britishVsiFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Vsi, Needle, VsiNeedle, 0);
    dialFace(cr, n.position.x, n.position.y, DialR);
    auto fpm = [](double k) { return k / 3.28084 / 60 * 256; };
    for (double s : {-1.0, 1.0}) {
        for (int k = 100; k <= 1000; k += 100)
            mark(cr, n, fpm(s * k), k % 500 == 0 ? MajorIn : MinorIn, TickOut, k % 500 == 0 ? 4.5 : 2);
        for (int k = 1200; k <= 6000; k += k < 2000 ? 200 : 500)
            mark(cr, n, fpm(s * k), k % 1000 == 0 ? MajorIn : MinorIn, TickOut, k % 1000 == 0 ? 4.5 : 2);
        for (auto [k, label] : {std::pair{500, ".5"}, {1000, "1"}, {2000, "2"}, {4000, "4"}, {6000, "6"}})
            figureAt(cr, n, fpm(s * k), FigureR, label, 24);
    }
    mark(cr, n, 0, MajorIn - 6, TickOut, 5);
    figureAt(cr, n, 0, FigureR, "0", 24);
    text(cr, n.position.x + 30, n.position.y - 40, "UP", 13, palette::Marking, Font::Label);
    text(cr, n.position.x + 30, n.position.y + 40, "DOWN", 13, palette::Marking, Font::Label);
    // Beyond the reach of the needle's tail, which sweeps the whole circle,
    // and across from 0, where the needle rests.
    text(cr, n.position.x + 56, n.position.y - 14, "1000 FT", 11, palette::Marking, Font::Label);
    text(cr, n.position.x + 56, n.position.y + 14, "PER MIN", 11, palette::Marking, Font::Label);
}

void vsiNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(Vsi, Needle, VsiNeedle, 0);
    lanceNeedle(cr, e.offset.x, e.offset.y, 143 - e.offset.x - 2, e.offset.x - 8, 11);
    hubCap(cr, e.offset.x, e.offset.y, 9);
}

// The metric bezel part: a cover from the hub to the right edge, over the
// sector that only the British scale uses.
void metricVsiCover(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Vsi, Needle, VsiNeedle, 1);
    Point c = n.position;
    double up = needleAngle(n, 30 * VsiUnitsPerMetrePerSecond) + 7;
    double down = needleAngle(n, -30 * VsiUnitsPerMetrePerSecond) - 7 + 360;
    cairo_move_to(cr, c.x, c.y);
    cairo_arc(cr, c.x, c.y, DialR, up * std::numbers::pi / 180, down * std::numbers::pi / 180);
    cairo_close_path(cr);
    fillWith(cr, linear(c.x, c.y - 60, c.x, c.y + 60, {{0, {0.17, 0.17, 0.18}}, {1, {0.07, 0.07, 0.075}}}));
    for (double a : {up, down}) {
        Xy e = polar(c, DialR, a);
        cairo_move_to(cr, c.x, c.y);
        cairo_line_to(cr, e.x, e.y);
    }
    cairo_set_line_width(cr, 1.5);
    setColour(cr, {0.35, 0.35, 0.36});
    cairo_stroke(cr);
    hubCap(cr, c.x, c.y, 16);
    text(cr, c.x + 72, c.y, "m/s", 14, palette::Marking, Font::Label);
}

void vsiBezel(cairo_t* cr, const Layout&)
{
    instrumentBezel(cr, 300, 330, 150, 150, BezelIn, BezelOut);
}

// ---------------------------------------------------------------- turn indicator

constexpr const char* Tc = "Turn_Coordinator";

void turnFace(cairo_t* cr, const Layout& l)
{
    dialFace(cr, 150, 150, DialR + 2);
    const auto& n = l.element(Tc, Needle, 450);
    double reach = 208 - n.offset.x;  // the needle's tip
    for (double v : {-4.5, 4.5}) {
        double deg = needleAngle(n, v);
        arcBand(cr, n.position, reach - 22, reach - 2, deg - 1.6, deg + 1.6, palette::Marking);
        figure(cr, n.position, deg - (v < 0 ? 6 : -6), reach - 14, v < 0 ? "L" : "R", 20);
    }
    arcBand(cr, n.position, reach - 22, reach - 2, needleAngle(n, 0) - 1.0, needleAngle(n, 0) + 1.0, palette::Marking);
    const auto& ball = l.element(Tc, Slider, 460);
    double bx = ball.position.x + 10, by = ball.position.y + 13;  // the ball's centre at rest
    ballTube(cr, bx, by, 82, tubeCurvature(ball), 22);
    // Either side of the pivot, below the tube: the needle sweeps the
    // middle of the dial above it.
    text(cr, 97, by + 44, "DREHT", 15, palette::Marking, Font::Label);
    text(cr, 203, by + 44, "H\u00c4NGT", 15, palette::Marking, Font::Label);
}

void turnNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(Tc, Needle, 450);
    lanceNeedle(cr, e.offset.x, e.offset.y, 208 - e.offset.x - 2, e.offset.x - 6, 9);
    hubCap(cr, e.offset.x, e.offset.y, 11);
}

void tubeMarks(cairo_t* cr, const Layout&)
{
    for (double x : {1.0, 24.0}) {
        cairo_rectangle(cr, x, 0, 2, 30);
        setColour(cr, palette::Marking);
        cairo_fill(cr);
    }
}

// ---------------------------------------------------------------- ADF bearing indicator

constexpr const char* AdfInd = "ADF_Indicator";

void radioCompassFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(AdfInd, Needle, 2080);
    dialFace(cr, n.position.x, n.position.y, DialR);
    for (int d = 0; d < 360; d += 5)
        mark(cr, n, d, d % 30 == 0 ? MajorIn : d % 10 == 0 ? MinorIn - 4 : MinorIn, TickOut, d % 30 == 0 ? 4.5 : 2);
    for (int d = 0; d < 360; d += 30)
        figureAt(cr, n, d, FigureR, std::to_string(d / 10), 24);
    text(cr, n.position.x, n.position.y + 40, "PEILUNG", 12, palette::Marking, Font::Label);
}

void homingFace(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(AdfInd, Needle, 2110);
    dialFace(cr, 150, 150, DialR);
    double reach = 224 - n.offset.x;
    for (int v = 340; v <= 380; v += 5)
        mark(cr, n, v, v % 10 == 0 ? reach - 26 : reach - 18, reach - 6, v == 360 ? 5 : v % 10 == 0 ? 3.5 : 2);
    for (int v : {340, 350, 370, 380})
        figureAt(cr, n, v, reach - 40, std::to_string(std::abs(v - 360)), 16);
    // Aside, out of the needle's sweep.
    text(cr, 78, 168, "ZIELFLUG", 13, palette::Marking, Font::Label);
}

void adfNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(AdfInd, Needle, 2080);
    lanceNeedle(cr, e.offset.x, e.offset.y, 220 - e.offset.x - 2, 0, 12);
    // The tail: a dark arrow feather for the reciprocal bearing.
    cairo_move_to(cr, e.offset.x, e.offset.y - 3);
    cairo_line_to(cr, 14, e.offset.y - 3);
    cairo_line_to(cr, 2, e.offset.y - 9);
    cairo_line_to(cr, 8, e.offset.y);
    cairo_line_to(cr, 2, e.offset.y + 9);
    cairo_line_to(cr, 14, e.offset.y + 3);
    cairo_line_to(cr, e.offset.x, e.offset.y + 3);
    cairo_close_path(cr);
    setColour(cr, {0.35, 0.35, 0.36});
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.8);
    setColour(cr, palette::Marking);
    cairo_stroke(cr);
    hubCap(cr, e.offset.x, e.offset.y, 10);
}

void homingNeedle(cairo_t* cr, const Layout& l)
{
    const auto& e = l.element(AdfInd, Needle, 2110);
    lanceNeedle(cr, e.offset.x, e.offset.y, 224 - e.offset.x - 2, 0, 9);
}

// The lower window: a cover over the lower dial, open where the homing
// needle stands, with the two turn arrows.
void homingWindow(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(AdfInd, Needle, 2110);
    double top = 204;
    cairo_save(cr);
    cairo_arc(cr, 150, 150, DialR, 0, 2 * std::numbers::pi);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, top, 300, 100);
    // The opening follows the needle's swing.
    Xy left = polar(n.position, n.position.y - top + 4, needleAngle(n, 337));
    Xy right = polar(n.position, n.position.y - top + 4, needleAngle(n, 383));
    triangle(cr, polar(n.position, 0, 0), right, left);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    fillWith(cr, linear(0, top, 0, 280, {{0, {0.16, 0.16, 0.17}}, {1, {0.08, 0.08, 0.085}}}));
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_move_to(cr, 0, top);
    cairo_line_to(cr, 300, top);
    cairo_set_line_width(cr, 2);
    setColour(cr, {0.38, 0.38, 0.39});
    cairo_stroke(cr);
    cairo_restore(cr);
    for (double s : {-1.0, 1.0}) {
        double x = 150 + s * 62, y = 236;
        cairo_move_to(cr, x + s * 20, y);
        cairo_line_to(cr, x - s * 2, y - 12);
        cairo_line_to(cr, x - s * 2, y - 5);
        cairo_line_to(cr, x - s * 18, y - 5);
        cairo_line_to(cr, x - s * 18, y + 5);
        cairo_line_to(cr, x - s * 2, y + 5);
        cairo_line_to(cr, x - s * 2, y + 12);
        cairo_close_path(cr);
        setColour(cr, palette::Marking);
        cairo_fill(cr);
    }
}

void plainBezel300(cairo_t* cr, const Layout&)
{
    instrumentBezel(cr, 300, 300, 150, 150, BezelIn, BezelOut);
}

}  // namespace

void addFlightInstruments(Recipes& out)
{
    out.add(290, 300, 330, airspeedFace);
    out.add(300, 160, 56, [](cairo_t* cr, const Layout& l) { mainNeedle(cr, l.element(Asi, Needle, AsiNeedle), 160); });
    out.add(310, 300, 330, airspeedBezel);
    out.add(320, 300, 330, knotsFace);
    out.add(330, 150, 150, airspeedBlade);

    out.add(340, 160, 56, [](cairo_t* cr, const Layout& l) { mainNeedle(cr, l.element(Alt, Needle, 340), 160); });
    out.add(350, CounterWidth, CounterCell, kilometreCounter);
    out.add(351, CounterCell, CounterCell, counterWindow);
    out.add(360, TapeWidth, TapeHeight, millibarTape);
    out.add(361, TapeWindow, TapeHeight, tapeWindow);
    out.add(370, 300, 300, britishAltimeterFace);
    out.add(380, 220, 220, inchesDisc);
    out.add(381, 45, 54, inchesWindow);
    out.add(390, 300, 330, altimeterBezel);
    out.add(400, 149, 26, hundredsNeedle);
    out.add(410, 103, 28, thousandsNeedle);
    out.add(420, 82, 12, tenThousandsNeedle);
    out.add(430, 300, 330, metricAltimeterFace);

    out.add(440, 300, 300, turnFace);
    out.add(450, 208, 28, turnNeedle);
    out.add(460, 20, 25, [](cairo_t* cr, const Layout&) { inclinometerBall(cr, 10, 13, 9.5); });
    out.add(470, 27, 30, tubeMarks);
    out.add(480, 300, 300, plainBezel300);

    out.add(1000, 304, 304, horizonFace);
    out.add(1010, 256, 256, horizonBar);
    out.add(1011, 168, 145, [](cairo_t*, const Layout&) {});
    out.add(1020, 70, 14, bankPointer);
    out.add(1030, 206, 196, horizonMask);
    out.add(1040, 304, 304, horizonBezel);
    out.add(1050, 37, 50, warningFlag);
    out.add(1060, 14, 17, [](cairo_t* cr, const Layout&) { inclinometerBall(cr, 7, 10, 6.8); });
    out.add(1070, 304, 304, [](cairo_t* cr, const Layout& l) { cagingRing(cr, ahCentre(l), -RingTurn); });

    out.add(250, 300, 300, gyroFace);
    out.add(260, 264, 264, compassCard);
    out.add(261, 264, 264, cardWindow);
    out.add(270, 300, 300, gyroBezel);
    out.add(280, 212, 166, courseDisc);

    out.add(1100, 300, 330, metricVsiFace);
    out.add(1110, 143, 30, vsiNeedle);
    out.add(1120, 300, 330, vsiBezel);
    out.add(1130, 300, 330, metricVsiCover);
    out.add(1140, 300, 330, britishVsiFace);

    out.add(2070, 300, 300, radioCompassFace);
    out.add(2080, 220, 22, adfNeedle);
    out.add(2090, 300, 300, plainBezel300);
    out.add(2100, 300, 300, homingFace);
    out.add(2110, 224, 13, homingNeedle);
    out.add(2120, 300, 300, homingWindow);
}

}  // namespace assetgen
