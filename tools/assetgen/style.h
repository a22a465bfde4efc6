// The look shared by every bitmap: matt black dials with cream luminous
// marks and condensed DIN-like figures, black-painted bezels with slotted
// screws, dark-grey crinkle radio fronts, bakelite knobs and levers.
//
// Angles are in degrees clockwise from the screen's +x axis (y down), the
// convention of needleAngle(); "from the top" means that angle + 90.
#pragma once

#include <cairo.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "tools/assetgen/layout.h"

namespace assetgen {

struct Colour {
    double r, g, b;
};

namespace palette {
inline constexpr Colour Dial{0.085, 0.085, 0.09};
inline constexpr Colour Marking{0.94, 0.93, 0.87};
inline constexpr Colour Luminous{0.80, 0.90, 0.70};
inline constexpr Colour Red{0.80, 0.13, 0.10};
inline constexpr Colour Yellow{0.93, 0.74, 0.16};
inline constexpr Colour Bezel{0.11, 0.11, 0.115};
inline constexpr Colour Front{0.20, 0.21, 0.22};      // radio fronts, RAL 7021-like
inline constexpr Colour Engraving{0.90, 0.89, 0.82};
inline constexpr Colour Bakelite{0.07, 0.06, 0.055};
inline constexpr Colour Steel{0.62, 0.63, 0.64};
inline constexpr Colour Shadow{0.03, 0.03, 0.03};
}  // namespace palette

enum class Font { Figures, Label, Serif };

struct Xy {
    double x, y;
};

// The font families of the artwork that fontconfig does not have, by name
// (empty when all are there): a substitute would change every figure.
std::string missingFonts();

// Frees what the drawing keeps between bitmaps.
void releaseStyle();

struct Stop {
    double at;
    Colour colour;
};

// A linear gradient through its stops; fillWith/strokeWith paint the current
// path with a pattern and release it.
cairo_pattern_t* linear(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops);
void fillWith(cairo_t* cr, cairo_pattern_t* pattern);
void strokeWith(cairo_t* cr, cairo_pattern_t* pattern);
// A closed triangle, added to the current path.
void triangle(cairo_t* cr, Xy a, Xy b, Xy c);

Xy polar(double cx, double cy, double r, double deg);
Xy polar(Point centre, double r, double deg);
void setColour(cairo_t* cr, Colour c, double alpha = 1.0);

// Where a text's ink lies on the bitmap, in its pixels.
struct LabelBox {
    double x0, y0, x1, y1;
    std::string text;
};
// The texts drawn since the last call, so that their places can be checked
// against what moves over them.
std::vector<LabelBox> takeLabels();

// Text centred on (x, y), upright or turned by `rotation` degrees.
void text(cairo_t* cr, double x, double y, const std::string& s, double size, Colour c, Font font = Font::Figures,
          double rotation = 0.0);
double textWidth(cairo_t* cr, const std::string& s, double size, Font font = Font::Figures);

// A radial mark from r0 to r1.
void tick(cairo_t* cr, Point centre, double deg, double r0, double r1, double width, Colour c = palette::Marking);
// A figure centred at radius r, upright.
void figure(cairo_t* cr, Point centre, double deg, double r, const std::string& s, double size,
            Colour c = palette::Marking);
// A coloured band between two angles (clockwise from a to b).
void arcBand(cairo_t* cr, Point centre, double r0, double r1, double a, double b, Colour c);
// A small luminous dot.
void dot(cairo_t* cr, double x, double y, double r, Colour c = palette::Luminous);

// Marks at every `step` from `from` to `to` (inclusive) where `needle` points.
void scaleTicks(cairo_t* cr, const ElementInfo& needle, double from, double to, double step, double r0, double r1,
                double width, double scale = 1.0);

// A value as figures, and with the German decimal comma.
std::string number(double v);
std::string decimal(double v);
// A figure and a mark where `needle` points for `value`.
void figureAt(cairo_t* cr, const ElementInfo& needle, double value, double r, const std::string& s, double size,
              Colour c = palette::Marking);
void mark(cairo_t* cr, const ElementInfo& needle, double value, double r0, double r1, double width);

// The strip of a moving image: figure k (modulo `modulo`) where the window
// stands when the element's value is k, one cell apart along the strip.
void figureStrip(cairo_t* cr, const ElementInfo& strip, double length, double cell, bool vertical, double size,
                 int modulo);

// The dial disc with a faint rim shading.
void dialFace(cairo_t* cr, double cx, double cy, double r);
// A black-painted bezel ring over the dial edge, with its inner lip.
void bezelRing(cairo_t* cr, double cx, double cy, double rInner, double rOuter);
// An instrument's bezel: the ring and the panel screws in the corners.
void instrumentBezel(cairo_t* cr, double w, double h, double cx, double cy, double rInner, double rOuter);
// A slotted screw head.
void screw(cairo_t* cr, double x, double y, double r, double slotDeg);
// Screws in the four corners of a w×h square, `inset` from the edges.
void cornerScrews(cairo_t* cr, double w, double h, double inset, double r);

// A painted lance needle along +x from the hub (at the origin after the
// caller's translate), with its counterweight tail.
void lanceNeedle(cairo_t* cr, double hx, double hy, double length, double tail, double width,
                 Colour c = palette::Marking);
void hubCap(cairo_t* cr, double x, double y, double r);

// A fluted bakelite knob; `indexDeg` draws a white index line at that angle (NaN: none).
void flutedKnob(cairo_t* cr, double cx, double cy, double r, int flutes, double indexDeg);
// A bar-shaped rotary lever ("chicken head") on a round boss, pointing at `deg`.
void rotaryLever(cairo_t* cr, double cx, double cy, double r, double deg);
// A toggle lever seen from the front, thrown towards `deg`.
void toggleLever(cairo_t* cr, double cx, double cy, double baseR, double length, double deg);
// A lit pilot lamp and an unlit socket.
void litLamp(cairo_t* cr, double cx, double cy, double r, Colour c);
void lampSocket(cairo_t* cr, double cx, double cy, double r);

// A crinkle-painted plate with rounded corners.
void frontPlate(cairo_t* cr, double x, double y, double w, double h, double radius, Colour c = palette::Front);
// A riveted aluminium type plate with lines of small black print.
void typePlate(cairo_t* cr, double x, double y, double w, double h, std::initializer_list<const char*> lines);
// A recessed opening (dark, with a shaded edge) and a framed window rectangle.
void recess(cairo_t* cr, double cx, double cy, double r);
void windowFrame(cairo_t* cr, double x, double y, double w, double h);

}  // namespace assetgen
