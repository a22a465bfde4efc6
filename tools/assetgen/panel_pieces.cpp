// The small pieces of the panel: the window buttons, the units and NAV/GPS
// levers, the registration plate, the gunsight, the clock, and the empty
// image of the invisible shut-down gauge.
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "tools/assetgen/recipes.h"
#include "tools/assetgen/style.h"

namespace assetgen {

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Pi = std::numbers::pi;

// ---------------------------------------------------------------- window buttons

// A small square push button with its glyph drawn by `glyph` in a 19×19 frame.
void button(cairo_t* cr, double size, const std::function<void()>& glyph)
{
    frontPlate(cr, 0.5, 0.5, size - 1, size - 1, 2.5, {0.12, 0.12, 0.125});
    cairo_save(cr);
    cairo_scale(cr, size / 19.0, size / 19.0);
    setColour(cr, palette::Marking);
    cairo_set_line_width(cr, 1.3);
    glyph();
    cairo_restore(cr);
}

void strokeRect(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_rectangle(cr, x, y, w, h);
    cairo_stroke(cr);
}

void addButtons(Recipes& out)
{
    auto glyphButton = [&](int n, int size, std::function<void(cairo_t*)> glyph) {
        out.add(n, size, size, [size, glyph](cairo_t* cr, const Layout&) { button(cr, size, [&] { glyph(cr); }); });
    };
    glyphButton(60, 19, [](cairo_t* cr) {  // kneeboard: a clipboard with lines
        strokeRect(cr, 5, 4.5, 9, 11);
        cairo_rectangle(cr, 7.5, 3, 4, 2.5);
        cairo_fill(cr);
        for (double y : {8.0, 10.5, 13.0}) {
            cairo_move_to(cr, 6.5, y);
            cairo_line_to(cr, 12.5, y);
        }
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
    });
    glyphButton(70, 12, [](cairo_t* cr) {  // map: a globe with its meridian and equator
        cairo_arc(cr, 9.5, 9.5, 5.5, 0, 2 * Pi);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_translate(cr, 9.5, 9.5);
        cairo_scale(cr, 0.45, 1);
        cairo_arc(cr, 0, 0, 5.5, 0, 2 * Pi);
        cairo_restore(cr);
        cairo_stroke(cr);
        cairo_move_to(cr, 4, 9.5);
        cairo_line_to(cr, 15, 9.5);
        cairo_stroke(cr);
    });
    glyphButton(80, 19, [](cairo_t* cr) {  // ATC: a headset
        cairo_arc(cr, 9.5, 10, 5, Pi, 2 * Pi);
        cairo_stroke(cr);
        cairo_rectangle(cr, 3.5, 9.5, 3, 5);
        cairo_rectangle(cr, 12.5, 9.5, 3, 5);
        cairo_fill(cr);
        cairo_move_to(cr, 5, 14.5);
        cairo_curve_to(cr, 5, 16.5, 8, 16.5, 9.5, 15.5);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
    });
    glyphButton(100, 19, [](cairo_t* cr) {  // invisible: a closed eye
        cairo_move_to(cr, 4, 9.5);
        cairo_curve_to(cr, 7, 13.5, 12, 13.5, 15, 9.5);
        cairo_stroke(cr);
        for (double x : {6.0, 9.5, 13.0}) {
            cairo_move_to(cr, x, 12.2);
            cairo_line_to(cr, x + (x - 9.5) * 0.3, 14.5);
        }
        cairo_stroke(cr);
    });
    glyphButton(110, 19, [](cairo_t* cr) {  // close: a cross
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, 5.5, 5.5);
        cairo_line_to(cr, 13.5, 13.5);
        cairo_move_to(cr, 13.5, 5.5);
        cairo_line_to(cr, 5.5, 13.5);
        cairo_stroke(cr);
    });
    glyphButton(120, 19, [](cairo_t* cr) {  // radios: a set with its dial and knob
        strokeRect(cr, 3.5, 6.5, 12, 8);
        cairo_arc(cr, 7.5, 10.5, 2, 0, 2 * Pi);
        cairo_fill(cr);
        cairo_move_to(cr, 11, 9);
        cairo_line_to(cr, 14, 9);
        cairo_move_to(cr, 11, 12);
        cairo_line_to(cr, 14, 12);
        cairo_move_to(cr, 12, 6.5);
        cairo_line_to(cr, 15, 3);
        cairo_stroke(cr);
    });
    glyphButton(130, 19, [](cairo_t* cr) {  // landing view: an arrow down to the runway
        cairo_move_to(cr, 9.5, 3.5);
        cairo_line_to(cr, 9.5, 10);
        cairo_stroke(cr);
        triangle(cr, {6.5, 9}, {12.5, 9}, {9.5, 12.5});
        cairo_fill(cr);
        cairo_move_to(cr, 3.5, 15);
        cairo_line_to(cr, 15.5, 15);
        cairo_stroke(cr);
    });
    glyphButton(140, 19, [](cairo_t* cr) {  // GPS: a satellite
        cairo_rectangle(cr, 8, 8, 3, 3);
        cairo_fill(cr);
        strokeRect(cr, 3.5, 8, 3.5, 3);
        strokeRect(cr, 12, 8, 3.5, 3);
        cairo_arc(cr, 9.5, 9.5, 6.5, -Pi * 0.8, -Pi * 0.2);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
    });
    glyphButton(150, 19, [](cairo_t* cr) {  // throttle: a lever in its slot
        cairo_move_to(cr, 9.5, 4);
        cairo_line_to(cr, 9.5, 15);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
        cairo_move_to(cr, 9.5, 12);
        cairo_line_to(cr, 12, 6);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
        cairo_arc(cr, 12.3, 5.5, 2.2, 0, 2 * Pi);
        cairo_fill(cr);
    });
    glyphButton(160, 19, [](cairo_t* cr) {  // compass: a north arrow in its ring
        cairo_arc(cr, 9.5, 9.5, 6, 0, 2 * Pi);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
        triangle(cr, {9.5, 3.5}, {11.5, 9.5}, {7.5, 9.5});
        cairo_fill(cr);
        triangle(cr, {9.5, 15.5}, {11.5, 9.5}, {7.5, 9.5});
        cairo_stroke(cr);
    });
}

// ---------------------------------------------------------------- levers and plates

constexpr int UnitsWidth = 96, UnitsHeight = 44;

// The units switch's plate; the lever neutral (NaN) or thrown to `deg`.
void unitsSwitch(cairo_t* cr, double leverDeg)
{
    frontPlate(cr, 1, 1, UnitsWidth - 2, UnitsHeight - 2, 4);
    screw(cr, 7, UnitsHeight / 2.0, 3.2, 40);
    screw(cr, UnitsWidth - 7, UnitsHeight / 2.0, 3.2, 100);
    text(cr, 20, 12, "MT", 13, palette::Engraving, Font::Label);
    text(cr, UnitsWidth - 20, 12, "BR", 13, palette::Engraving, Font::Label);
    double cx = UnitsWidth / 2.0, cy = 27;
    if (std::isnan(leverDeg))
        toggleLever(cr, cx, cy, 8, 6, -90);
    else
        toggleLever(cr, cx, cy, 8, 18, leverDeg);
}

constexpr int SourceWidth = 31, SourceHeight = 88;

void sourceMounting(cairo_t* cr, const Layout&)
{
    frontPlate(cr, 1, 1, SourceWidth - 2, SourceHeight - 2, 4);
    text(cr, SourceWidth / 2.0, 10, "G", 12, palette::Engraving, Font::Label);
    text(cr, SourceWidth / 2.0, SourceHeight - 10, "N", 12, palette::Engraving, Font::Label);
}

void sourceLever(cairo_t* cr, double deg)
{
    toggleLever(cr, SourceWidth / 2.0, SourceHeight / 2.0, 8, 24, deg);
}

void registrationPlate(cairo_t* cr, const Layout&)
{
    frontPlate(cr, 0.5, 0.5, 149, 24, 3, {0.09, 0.09, 0.095});
    cairo_rectangle(cr, 12.5, 3.5, 125, 18);
    cairo_set_line_width(cr, 1);
    setColour(cr, {0.45, 0.45, 0.42});
    cairo_stroke(cr);
    screw(cr, 6, 12.5, 3, 20);
    screw(cr, 144, 12.5, 3, 70);
}

// ---------------------------------------------------------------- gunsight

// The reflector sight seen from the pilot's seat: the glass in its frame
// with the reticle on it, the sight head and the leather crash pad.
void gunsight(cairo_t* cr, const Layout&)
{
    constexpr double Cx = 61.5, ReticleY = 72;
    Colour amber{1.0, 0.62, 0.16};
    // The frame posts and the top bar; the glass between them is clear.
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, Cx + side * 46, 146);
        cairo_line_to(cr, Cx + side * 40, 14);
        cairo_set_line_width(cr, 5);
        strokeWith(cr, linear(Cx + side * 48, 0, Cx + side * 38, 0,
                              {{0, {0.10, 0.10, 0.11}}, {0.5, {0.45, 0.45, 0.47}}, {1, {0.12, 0.12, 0.13}}}));
    }
    cairo_rectangle(cr, Cx - 42, 10, 84, 5);
    fillWith(cr, linear(0, 10, 0, 15, {{0, {0.40, 0.40, 0.42}}, {1, {0.10, 0.10, 0.11}}}));
    // The glass's edge catches the light.
    cairo_move_to(cr, Cx - 36, 18);
    cairo_line_to(cr, Cx + 36, 18);
    cairo_set_line_width(cr, 1);
    setColour(cr, {0.55, 0.62, 0.62});
    cairo_stroke(cr);
    // The reticle: a ring, a cross open in the middle, the centre dot.
    cairo_arc(cr, Cx, ReticleY, 34, 0, 2 * Pi);
    cairo_set_line_width(cr, 1.8);
    setColour(cr, amber);
    cairo_stroke(cr);
    for (double d : {-1.0, 1.0}) {
        cairo_move_to(cr, Cx + d * 8, ReticleY);
        cairo_line_to(cr, Cx + d * 40, ReticleY);
        cairo_move_to(cr, Cx, ReticleY + d * 8);
        cairo_line_to(cr, Cx, ReticleY + d * 40);
    }
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    dot(cr, Cx, ReticleY, 2.2, amber);
    // The sight head with its lens housing and the dimmer knob.
    frontPlate(cr, Cx - 48, 140, 96, 62, 7, {0.17, 0.175, 0.18});
    cairo_save(cr);
    cairo_translate(cr, Cx, 146);
    cairo_scale(cr, 1, 0.22);
    cairo_arc(cr, 0, 0, 36, 0, 2 * Pi);
    cairo_restore(cr);
    fillWith(cr, linear(Cx - 36, 0, Cx + 36, 0,
                        {{0, {0.05, 0.05, 0.06}}, {0.4, {0.32, 0.34, 0.36}}, {1, {0.05, 0.05, 0.06}}}));
    flutedKnob(cr, Cx + 33, 172, 9, 12, Nan);
    text(cr, Cx - 12, 168, "REVI 16 B", 10, palette::Engraving, Font::Label);
    // The crash pad: stitched brown leather.
    auto pad = [&] {
        cairo_new_path(cr);
        cairo_arc(cr, Cx - 30, 206, 10, Pi, 1.5 * Pi);
        cairo_arc(cr, Cx + 30, 206, 10, 1.5 * Pi, 2 * Pi);
        cairo_arc(cr, Cx + 30, 244, 10, 0, 0.5 * Pi);
        cairo_arc(cr, Cx - 30, 244, 10, 0.5 * Pi, Pi);
        cairo_close_path(cr);
    };
    pad();
    fillWith(cr, linear(0, 196, 0, 254,
                        {{0, {0.52, 0.33, 0.19}}, {0.45, {0.40, 0.24, 0.13}}, {1, {0.20, 0.11, 0.06}}}));
    cairo_rectangle(cr, Cx - 34, 201, 68, 48);
    double dashes[] = {3, 2};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_set_line_width(cr, 0.9);
    setColour(cr, {0.70, 0.55, 0.38});
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

// ---------------------------------------------------------------- clock

constexpr const char* Clock = "Junghans_Timer";
constexpr double ClockDialR = 100, RingIn = 100, RingOut = 117, CaseOut = 137;

void clockFace(cairo_t* cr, const Layout& l)
{
    const auto& hour = l.element(Clock, Needle, 2040);
    const auto& seconds = l.element(Clock, Needle, 2010);
    const auto& sub = l.element(Clock, Needle, 2020);
    Point c = hour.position;
    // The case's lower part with the start/stop crown and the reset button.
    frontPlate(cr, c.x - 70, c.y + 60, 140, 364 - c.y - 62, 20, {0.10, 0.10, 0.105});
    flutedKnob(cr, 132.5, 284.5, 19, 20, Nan);
    frontPlate(cr, 199, 276, 26, 34, 5, {0.22, 0.22, 0.23});
    cairo_rectangle(cr, 204, 282, 16, 22);
    setColour(cr, {0.45, 0.45, 0.46});
    cairo_fill(cr);
    text(cr, 132.5, 318, "START/STOP", 9, palette::Engraving, Font::Label);
    text(cr, 212, 318, "NULL", 9, palette::Engraving, Font::Label);
    // The dial: the seconds track on the rim, the hours inside.
    dialFace(cr, c.x, c.y, ClockDialR + 2);
    for (int s = 0; s < 60; ++s)
        mark(cr, seconds, s, s % 5 == 0 ? 86 : 91, 98, s % 5 == 0 ? 3 : 1.3);
    for (int s = 0; s < 300; ++s)
        if (s % 5)
            mark(cr, seconds, s / 5.0, 95, 98, 0.6);
    for (int h = 1; h <= 12; ++h)
        if (h != 6)  // the stopwatch's sub-dial takes the six
            figureAt(cr, hour, h * 3600.0, 72, std::to_string(h), 20);
    text(cr, c.x, c.y - 40, "JUNGHANS", 10, palette::Marking, Font::Serif);
    // The sub-dial of the stopwatch minutes.
    cairo_arc(cr, sub.position.x, sub.position.y, 29, 0, 2 * Pi);
    cairo_set_line_width(cr, 1.2);
    setColour(cr, palette::Marking);
    cairo_stroke(cr);
    for (int m = 0; m < 15; ++m)
        mark(cr, sub, m * 60.0, m % 5 == 0 ? 21 : 24, 28, m % 5 == 0 ? 2.2 : 1.2);
    for (int m : {0, 5, 10})
        figureAt(cr, sub, m * 60.0, 14, std::to_string(m), 9);
}

void clockCase(cairo_t* cr, const Layout& l)
{
    Point c = l.element(Clock, Needle, 2040).position;
    bezelRing(cr, c.x, c.y, RingOut, CaseOut);
    for (double deg : {-135.0, -45.0, 45.0, 135.0}) {
        Xy p = polar(c, (RingOut + CaseOut) / 2, deg);
        screw(cr, p.x, p.y, 4, deg * 2);
    }
}

// The turning ring: minute marks, 5 to 55 and the triangle at 0, placed by
// the ring's own turn per minute.
void clockRing(cairo_t* cr, const Layout& l)
{
    const auto& ring = l.element(Clock, Sprite, 2060);
    Point c{117, 117};
    double perMinute = 6.0 * ring.rotationScale;
    arcBand(cr, c, RingIn, RingOut, 0, 360, {0.10, 0.10, 0.105});
    for (int k = 0; k < 120; ++k)
        tick(cr, c, k * 3.0, RingOut - 2.5, RingOut, 1.0, {0.30, 0.30, 0.31});
    for (int m = 0; m < 60; ++m) {
        double deg = -90 + m * perMinute;
        if (m == 0) {
            Xy a = polar(c, RingIn + 2, deg);
            Xy b = polar(c, RingOut - 3, deg - 3.5), e = polar(c, RingOut - 3, deg + 3.5);
            triangle(cr, a, b, e);
            setColour(cr, palette::Red);
            cairo_fill(cr);
        } else if (m % 5 == 0) {
            Xy p = polar(c, (RingIn + RingOut) / 2 - 0.5, deg);
            text(cr, p.x, p.y, std::to_string(m), 10, palette::Marking, Font::Figures, deg + 90);
        } else {
            tick(cr, c, deg, RingIn + 3, RingIn + 8, 1.3);
        }
    }
}

void clockHand(cairo_t* cr, const ElementInfo& e, int width, double breadth, bool baton)
{
    double length = width - e.offset.x - 1;
    if (baton) {
        // A luminous baton hand.
        cairo_move_to(cr, e.offset.x, e.offset.y - breadth * 0.3);
        cairo_line_to(cr, e.offset.x + length * 0.85, e.offset.y - breadth / 2);
        cairo_line_to(cr, e.offset.x + length, e.offset.y);
        cairo_line_to(cr, e.offset.x + length * 0.85, e.offset.y + breadth / 2);
        cairo_line_to(cr, e.offset.x, e.offset.y + breadth * 0.3);
        cairo_close_path(cr);
        setColour(cr, palette::Marking);
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 0.8);
        setColour(cr, {0.2, 0.2, 0.2});
        cairo_stroke(cr);
        cairo_rectangle(cr, e.offset.x + length * 0.3, e.offset.y - breadth * 0.18, length * 0.5, breadth * 0.36);
        setColour(cr, palette::Luminous);
        cairo_fill(cr);
    } else {
        cairo_move_to(cr, e.offset.x - e.offset.x + 1, e.offset.y);
        cairo_line_to(cr, e.offset.x + length, e.offset.y);
        cairo_set_line_width(cr, breadth);
        setColour(cr, {0.95, 0.35, 0.15});
        cairo_stroke(cr);
    }
    hubCap(cr, e.offset.x, e.offset.y, std::min<double>(e.offset.y - 1, 5.5));
}

}  // namespace

void addPanelPieces(Recipes& out)
{
    out.add(40, 5, 5, [](cairo_t*, const Layout&) {});  // the shut-down area shows nothing
    out.add(50, 150, 25, registrationPlate);
    addButtons(out);
    out.add(230, UnitsWidth, UnitsHeight, [](cairo_t* cr, const Layout&) { unitsSwitch(cr, Nan); });
    out.add(240, UnitsWidth, UnitsHeight, [](cairo_t* cr, const Layout&) { unitsSwitch(cr, 200); });
    out.add(241, UnitsWidth, UnitsHeight, [](cairo_t* cr, const Layout&) { unitsSwitch(cr, -20); });
    out.add(3000, SourceWidth, SourceHeight, sourceMounting);
    out.add(3010, SourceWidth, SourceHeight, [](cairo_t* cr, const Layout&) { sourceLever(cr, 90); });
    out.add(3011, SourceWidth, SourceHeight, [](cairo_t* cr, const Layout&) { sourceLever(cr, -90); });
    out.add(1080, 123, 257, [](cairo_t*, const Layout&) {});  // the gunsight's transparent base
    out.add(1090, 123, 257, gunsight);

    out.add(2000, 280, 364, clockFace);
    auto hand = [&](int n, int w, int h, double breadth, bool baton) {
        out.add(n, w, h,
                [=](cairo_t* cr, const Layout& l) { clockHand(cr, l.element(Clock, Needle, n), w, breadth, baton); });
    };
    hand(2010, 100, 16, 2.0, false);
    hand(2020, 29, 13, 5, true);
    hand(2030, 100, 14, 10, true);
    hand(2040, 80, 12, 10, true);
    out.add(2050, 280, 364, clockCase);
    out.add(2060, 234, 234, clockRing);
    out.add(2061, 234, 234, [](cairo_t*, const Layout&) {});  // the ring's window: all of it open
}

}  // namespace assetgen
