#include "tools/assetgen/style.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

namespace assetgen {

namespace {

constexpr double Radians = std::numbers::pi / 180.0;

// The faces the artwork is drawn in (fonts-dejavu-extra, fonts-liberation).
constexpr const char* FontFamilies[] = {"DejaVu Sans Condensed", "Liberation Sans Narrow", "DejaVu Serif Condensed"};

void selectFont(cairo_t* cr, Font font, double size)
{
    cairo_select_font_face(cr, FontFamilies[static_cast<int>(font)], CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
}

// A fixed grain for painted metal: the same pixels in every run.
cairo_surface_t* grainSurface = nullptr;

// Where text() wrote since takeLabels() last gave them out.
std::vector<LabelBox> labelsDrawn;

cairo_surface_t* grain()
{
    if (!grainSurface)
        grainSurface = [] {
        constexpr int Size = 96;
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Size, Size);
        auto* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        uint32_t state = 0x9E3779B9u;
        for (int y = 0; y < Size; ++y)
            for (int x = 0; x < Size; ++x) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                uint32_t v = state >> 24;
                uint32_t a = 40;  // premultiplied grey at low alpha
                uint32_t g = v * a / 255;
                reinterpret_cast<uint32_t*>(data + y * stride)[x] = a << 24 | g << 16 | g << 8 | g;
            }
        cairo_surface_mark_dirty(s);
        return s;
    }();
    return grainSurface;
}

cairo_pattern_t* radial(double cx, double cy, double r, Colour inner, Colour outer)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, inner.r, inner.g, inner.b);
    cairo_pattern_add_color_stop_rgb(p, 1, outer.r, outer.g, outer.b);
    return p;
}

}  // namespace

std::string missingFonts()
{
    std::string missing;
    for (const char* family : FontFamilies) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        bool found = false;
        FcChar8* name = nullptr;
        for (int i = 0; match && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
            found = found || std::string(reinterpret_cast<const char*>(name)) == family;
        if (!found)
            missing += (missing.empty() ? "" : ", ") + std::string(family);
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    return missing;
}

std::vector<LabelBox> takeLabels() { return std::exchange(labelsDrawn, {}); }

void releaseStyle()
{
    if (grainSurface)
        cairo_surface_destroy(grainSurface);
    grainSurface = nullptr;
}

cairo_pattern_t* linear(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const Stop& s : stops)
        cairo_pattern_add_color_stop_rgb(p, s.at, s.colour.r, s.colour.g, s.colour.b);
    return p;
}

void fillWith(cairo_t* cr, cairo_pattern_t* p)
{
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void strokeWith(cairo_t* cr, cairo_pattern_t* p)
{
    cairo_set_source(cr, p);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
}

void triangle(cairo_t* cr, Xy a, Xy b, Xy c)
{
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_line_to(cr, c.x, c.y);
    cairo_close_path(cr);
}

Xy polar(double cx, double cy, double r, double deg)
{
    return {cx + r * std::cos(deg * Radians), cy + r * std::sin(deg * Radians)};
}

Xy polar(Point centre, double r, double deg)
{
    return polar(centre.x, centre.y, r, deg);
}

void setColour(cairo_t* cr, Colour c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

double textWidth(cairo_t* cr, const std::string& s, double size, Font font)
{
    selectFont(cr, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.width;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double size, Colour c, Font font, double rotation)
{
    selectFont(cr, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    // Centre on the figures' cap height, not on each glyph's own box, so a
    // row of figures shares one baseline.
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "0", &cap);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, rotation * Radians);
    const double left = -e.width / 2, top = -(cap.y_bearing + cap.height / 2) + e.y_bearing;
    cairo_move_to(cr, -(e.x_bearing + e.width / 2), -(cap.y_bearing + cap.height / 2));
    setColour(cr, c);
    cairo_show_text(cr, s.c_str());
    // The ink's box on the bitmap: the four corners as drawn, turned and all.
    LabelBox box{.x0 = 1e9, .y0 = 1e9, .x1 = -1e9, .y1 = -1e9, .text = s};
    for (double cx : {left, left + e.width})
        for (double cy : {top, top + e.height}) {
            double bx = cx, by = cy;
            cairo_user_to_device(cr, &bx, &by);
            box.x0 = std::min(box.x0, bx), box.y0 = std::min(box.y0, by);
            box.x1 = std::max(box.x1, bx), box.y1 = std::max(box.y1, by);
        }
    labelsDrawn.push_back(box);
    cairo_restore(cr);
    cairo_new_path(cr);  // show_text leaves a current point that the next arc would join
}

void tick(cairo_t* cr, Point centre, double deg, double r0, double r1, double width, Colour c)
{
    Xy a = polar(centre, r0, deg), b = polar(centre, r1, deg);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    setColour(cr, c);
    cairo_stroke(cr);
}

void figure(cairo_t* cr, Point centre, double deg, double r, const std::string& s, double size, Colour c)
{
    Xy p = polar(centre, r, deg);
    text(cr, p.x, p.y, s, size, c);
}

void arcBand(cairo_t* cr, Point centre, double r0, double r1, double a, double b, Colour c)
{
    cairo_new_path(cr);
    cairo_arc(cr, centre.x, centre.y, r1, a * Radians, b * Radians);
    cairo_arc_negative(cr, centre.x, centre.y, r0, b * Radians, a * Radians);
    cairo_close_path(cr);
    setColour(cr, c);
    cairo_fill(cr);
}

void dot(cairo_t* cr, double x, double y, double r, Colour c)
{
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    setColour(cr, c);
    cairo_fill(cr);
}

void scaleTicks(cairo_t* cr, const ElementInfo& needle, double from, double to, double step, double r0, double r1,
                double width, double scale)
{
    int count = static_cast<int>(std::floor((to - from) / step + 1e-9));
    for (int i = 0; i <= count; ++i)
        tick(cr, needle.position, needleAngle(needle, (from + i * step) * scale), r0, r1, width);
}

std::string number(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string decimal(double v)
{
    std::string s = number(v);
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

void figureAt(cairo_t* cr, const ElementInfo& needle, double value, double r, const std::string& s, double size,
              Colour c)
{
    figure(cr, needle.position, needleAngle(needle, value), r, s, size, c);
}

void mark(cairo_t* cr, const ElementInfo& needle, double value, double r0, double r1, double width)
{
    tick(cr, needle.position, needleAngle(needle, value), r0, r1, width);
}

void figureStrip(cairo_t* cr, const ElementInfo& strip, double length, double cell, bool vertical, double size,
                 int modulo)
{
    cairo_rectangle(cr, 0, 0, vertical ? cell : length, vertical ? length : cell);
    setColour(cr, {0.10, 0.10, 0.105});
    cairo_fill(cr);
    // The host moves the strip by (value - start) / (end - start) of its travel.
    double perUnit = (length - cell) / (strip.rangeEnd - strip.rangeStart);
    for (int k = static_cast<int>(strip.rangeStart); k <= static_cast<int>(strip.rangeEnd); ++k) {
        double along = cell / 2.0 + (k - strip.rangeStart) * perUnit;
        text(cr, vertical ? cell / 2.0 : along, vertical ? along : cell / 2.0, std::to_string(k % modulo), size,
             palette::Marking);
    }
}

void dialFace(cairo_t* cr, double cx, double cy, double r)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx, cy - r * 0.2, r * 1.2, {0.115, 0.115, 0.12}, {0.055, 0.055, 0.06}));
    // The painted face's grain.
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
    cairo_clip(cr);
    cairo_pattern_t* g = cairo_pattern_create_for_surface(grain());
    cairo_pattern_set_extend(g, CAIRO_EXTEND_REPEAT);
    cairo_set_source(cr, g);
    cairo_paint_with_alpha(cr, 0.35);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void bezelRing(cairo_t* cr, double cx, double cy, double rInner, double rOuter)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, rOuter, 0, 2 * std::numbers::pi);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, rInner, 2 * std::numbers::pi, 0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    fillWith(cr, linear(cx - rOuter, cy - rOuter, cx + rOuter, cy + rOuter,
                        {{0.0, {0.36, 0.36, 0.37}}, {0.35, {0.15, 0.15, 0.16}}, {0.7, {0.07, 0.07, 0.075}},
                         {1.0, {0.03, 0.03, 0.03}}}));
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    // Grain of the paint.
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, rOuter, 0, 2 * std::numbers::pi);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, rInner, 2 * std::numbers::pi, 0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_pattern_t* g = cairo_pattern_create_for_surface(grain());
    cairo_pattern_set_extend(g, CAIRO_EXTEND_REPEAT);
    cairo_set_source(cr, g);
    cairo_paint_with_alpha(cr, 0.5);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
    // The inner lip: lit from the upper left, so its lower right edge shines.
    double lip = std::max(2.0, (rOuter - rInner) * 0.18);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, rInner + lip / 2, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, lip);
    strokeWith(cr, linear(cx - rInner, cy - rInner, cx + rInner, cy + rInner,
                          {{0.0, {0.02, 0.02, 0.02}}, {1.0, {0.42, 0.42, 0.43}}}));
    // A dark outer edge.
    cairo_arc(cr, cx, cy, rOuter - 0.75, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, 1.5);
    setColour(cr, {0.025, 0.025, 0.025});
    cairo_stroke(cr);
}

void instrumentBezel(cairo_t* cr, double w, double h, double cx, double cy, double rInner, double rOuter)
{
    bezelRing(cr, cx, cy, rInner, rOuter);
    double r = std::max(4.0, w / 44);
    cornerScrews(cr, w, h, r * 2.0, r);
}

void screw(cairo_t* cr, double x, double y, double r, double slotDeg)
{
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(x - r * 0.35, y - r * 0.35, r * 1.6, {0.78, 0.78, 0.76}, {0.22, 0.22, 0.22}));
    cairo_arc(cr, x, y, r - 0.4, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, 0.8);
    setColour(cr, {0.08, 0.08, 0.08});
    cairo_stroke(cr);
    Xy a = polar(x, y, r * 0.85, slotDeg), b = polar(x, y, r * 0.85, slotDeg + 180);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    cairo_set_line_width(cr, std::max(1.2, r * 0.28));
    setColour(cr, {0.06, 0.06, 0.06});
    cairo_stroke(cr);
}

void cornerScrews(cairo_t* cr, double w, double h, double inset, double r)
{
    screw(cr, inset, inset, r, 30);
    screw(cr, w - inset, inset, r, 75);
    screw(cr, inset, h - inset, r, 120);
    screw(cr, w - inset, h - inset, r, 10);
}

void lanceNeedle(cairo_t* cr, double hx, double hy, double length, double tail, double width, Colour c)
{
    double w = width / 2;
    // The tail with its counterweight, painted black.
    if (tail > 0) {
        cairo_new_path(cr);
        cairo_move_to(cr, hx, hy - w * 0.55);
        cairo_line_to(cr, hx - tail + w * 0.8, hy - w * 0.8);
        cairo_arc_negative(cr, hx - tail + w * 0.8, hy, w * 0.8, -std::numbers::pi / 2, -3 * std::numbers::pi / 2);
        cairo_line_to(cr, hx, hy + w * 0.55);
        cairo_close_path(cr);
        setColour(cr, {0.16, 0.16, 0.16});
        cairo_fill_preserve(cr);
        cairo_set_line_width(cr, 0.8);
        setColour(cr, {0.45, 0.45, 0.45});
        cairo_stroke(cr);
    }
    // The lance: widest a quarter of the way out, then to a fine point.
    cairo_new_path(cr);
    cairo_move_to(cr, hx, hy - w * 0.6);
    cairo_line_to(cr, hx + length * 0.28, hy - w);
    cairo_line_to(cr, hx + length, hy);
    cairo_line_to(cr, hx + length * 0.28, hy + w);
    cairo_line_to(cr, hx, hy + w * 0.6);
    cairo_close_path(cr);
    setColour(cr, c);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.8);
    setColour(cr, {0.25, 0.25, 0.22});
    cairo_stroke(cr);
    // The luminous strip along its middle.
    if (width >= 7) {
        triangle(cr, {hx + length * 0.22, hy - w * 0.35}, {hx + length * 0.85, hy},
                 {hx + length * 0.22, hy + w * 0.35});
        setColour(cr, palette::Luminous);
        cairo_fill(cr);
    }
}

void hubCap(cairo_t* cr, double x, double y, double r)
{
    cairo_new_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(x - r * 0.3, y - r * 0.3, r * 1.4, {0.40, 0.40, 0.41}, {0.06, 0.06, 0.06}));
    cairo_arc(cr, x, y, r * 0.35, 0, 2 * std::numbers::pi);
    setColour(cr, {0.55, 0.55, 0.55});
    cairo_fill(cr);
}

void flutedKnob(cairo_t* cr, double cx, double cy, double r, int flutes, double indexDeg)
{
    // Shadow on the plate below and to the right.
    cairo_new_path(cr);
    cairo_arc(cr, cx + r * 0.05, cy + r * 0.07, r * 1.0, 0, 2 * std::numbers::pi);
    setColour(cr, palette::Shadow);
    cairo_fill(cr);
    // The fluted rim.
    cairo_new_path(cr);
    constexpr int Steps = 720;
    for (int i = 0; i <= Steps; ++i) {
        double t = 2 * std::numbers::pi * i / Steps;
        double rr = r * (0.93 + 0.07 * std::pow(std::abs(std::cos(flutes * t / 2)), 0.6));
        double x = cx + rr * std::cos(t), y = cy + rr * std::sin(t);
        i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    fillWith(cr, radial(cx - r * 0.4, cy - r * 0.45, r * 1.7, {0.30, 0.28, 0.26}, palette::Bakelite));
    // Flute grooves: dark lines on the skirt.
    for (int k = 0; k < flutes; ++k) {
        double deg = 360.0 * (k + 0.5) / flutes;
        Xy a = polar(cx, cy, r * 0.8, deg), b = polar(cx, cy, r * 0.95, deg);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
    }
    cairo_set_line_width(cr, std::max(1.0, r * 0.025));
    setColour(cr, {0.01, 0.01, 0.01});
    cairo_stroke(cr);
    // The domed top.
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r * 0.74, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx - r * 0.25, cy - r * 0.3, r * 0.95, {0.26, 0.25, 0.24}, {0.05, 0.045, 0.04}));
    cairo_arc(cr, cx, cy, r * 0.74, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, std::max(1.0, r * 0.02));
    setColour(cr, {0.32, 0.31, 0.30});
    cairo_stroke(cr);
    if (!std::isnan(indexDeg)) {
        Xy a = polar(cx, cy, r * 0.25, indexDeg), b = polar(cx, cy, r * 0.9, indexDeg);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_set_line_width(cr, std::max(1.5, r * 0.07));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        setColour(cr, palette::Marking);
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    }
}

void rotaryLever(cairo_t* cr, double cx, double cy, double r, double deg)
{
    // The round boss.
    cairo_new_path(cr);
    cairo_arc(cr, cx + r * 0.06, cy + r * 0.08, r * 0.62, 0, 2 * std::numbers::pi);
    setColour(cr, palette::Shadow);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r * 0.6, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx - r * 0.2, cy - r * 0.25, r * 0.8, {0.30, 0.29, 0.28}, palette::Bakelite));
    // The bar: pointed at the front end, rounded at the back.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, deg * Radians);
    double w = r * 0.24;
    auto bar = [&](double dx, double dy) {
        cairo_new_path(cr);
        cairo_move_to(cr, r * 0.95 + dx, dy);
        cairo_line_to(cr, r * 0.6 + dx, -w + dy);
        cairo_line_to(cr, -r * 0.62 + dx, -w + dy);
        cairo_arc_negative(cr, -r * 0.62 + dx, dy, w, -std::numbers::pi / 2, std::numbers::pi / 2);
        cairo_line_to(cr, r * 0.6 + dx, w + dy);
        cairo_close_path(cr);
    };
    bar(r * 0.05, r * 0.07);
    setColour(cr, palette::Shadow);
    cairo_fill(cr);
    bar(0, 0);
    fillWith(cr, linear(0, -w, 0, w, {{0, {0.34, 0.33, 0.32}}, {0.5, {0.12, 0.11, 0.10}}, {1, {0.04, 0.04, 0.035}}}));
    // The white index along the bar's front half.
    cairo_move_to(cr, r * 0.1, 0);
    cairo_line_to(cr, r * 0.82, 0);
    cairo_set_line_width(cr, std::max(1.5, r * 0.07));
    setColour(cr, palette::Marking);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void toggleLever(cairo_t* cr, double cx, double cy, double baseR, double length, double deg)
{
    // The threaded bush and its hexagon nut.
    cairo_new_path(cr);
    for (int k = 0; k < 6; ++k) {
        Xy p = polar(cx, cy, baseR, 60.0 * k + 30);
        k == 0 ? cairo_move_to(cr, p.x, p.y) : cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
    fillWith(cr, radial(cx - baseR * 0.4, cy - baseR * 0.4, baseR * 1.8, {0.75, 0.75, 0.74}, {0.18, 0.18, 0.18}));
    cairo_arc(cr, cx, cy, baseR * 0.55, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx, cy, baseR * 0.55, {0.10, 0.10, 0.10}, {0.40, 0.40, 0.40}));
    // The lever, tapering towards a ball end.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, deg * Radians);
    double w0 = baseR * 0.42, w1 = baseR * 0.22;
    cairo_new_path(cr);
    cairo_move_to(cr, 0, -w0);
    cairo_line_to(cr, length, -w1);
    cairo_line_to(cr, length, w1);
    cairo_line_to(cr, 0, w0);
    cairo_close_path(cr);
    fillWith(cr, linear(0, -w0, 0, w0, {{0, {0.35, 0.35, 0.36}}, {0.35, {0.92, 0.92, 0.92}}, {1, {0.22, 0.22, 0.23}}}));
    cairo_new_path(cr);
    cairo_arc(cr, length, 0, w1 * 1.6, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(length - w1 * 0.6, -w1 * 0.6, w1 * 2.4, {0.95, 0.95, 0.95}, {0.25, 0.25, 0.26}));
    cairo_restore(cr);
}

void litLamp(cairo_t* cr, double cx, double cy, double r, Colour c)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx, cy, r, {0.55, 0.55, 0.50}, {0.25, 0.25, 0.25}));
    cairo_arc(cr, cx, cy, r * 0.78, 0, 2 * std::numbers::pi);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.15, cy - r * 0.15, 0, cx, cy, r * 0.8);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 1.0, 0.92);
    cairo_pattern_add_color_stop_rgb(p, 0.35, c.r, c.g, c.b);
    cairo_pattern_add_color_stop_rgb(p, 1, c.r * 0.55, c.g * 0.55, c.b * 0.55);
    fillWith(cr, p);
}

void lampSocket(cairo_t* cr, double cx, double cy, double r)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx - r * 0.3, cy - r * 0.3, r * 1.5, {0.70, 0.70, 0.68}, {0.15, 0.15, 0.15}));
    cairo_arc(cr, cx, cy, r * 0.78, 0, 2 * std::numbers::pi);
    fillWith(cr, radial(cx - r * 0.2, cy - r * 0.25, r * 0.9, {0.32, 0.22, 0.16}, {0.07, 0.05, 0.04}));
}

void frontPlate(cairo_t* cr, double x, double y, double w, double h, double radius, Colour c)
{
    auto path = [&] {
        cairo_new_path(cr);
        cairo_arc(cr, x + w - radius, y + radius, radius, -std::numbers::pi / 2, 0);
        cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, std::numbers::pi / 2);
        cairo_arc(cr, x + radius, y + h - radius, radius, std::numbers::pi / 2, std::numbers::pi);
        cairo_arc(cr, x + radius, y + radius, radius, std::numbers::pi, 3 * std::numbers::pi / 2);
        cairo_close_path(cr);
    };
    path();
    fillWith(cr, linear(x, y, x + w * 0.3, y + h,
                        {{0, {c.r * 1.25, c.g * 1.25, c.b * 1.25}}, {1, {c.r * 0.8, c.g * 0.8, c.b * 0.8}}}));
    cairo_save(cr);
    path();
    cairo_clip(cr);
    cairo_pattern_t* g = cairo_pattern_create_for_surface(grain());
    cairo_pattern_set_extend(g, CAIRO_EXTEND_REPEAT);
    cairo_set_source(cr, g);
    cairo_paint_with_alpha(cr, 0.9);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
    // Bevelled edge: light above and left, dark below and right.
    path();
    cairo_set_line_width(cr, 2.0);
    strokeWith(cr, linear(x, y, x + w, y + h, {{0, {0.45, 0.46, 0.47}}, {1, {0.05, 0.05, 0.05}}}));
}

void typePlate(cairo_t* cr, double x, double y, double w, double h, std::initializer_list<const char*> lines)
{
    cairo_rectangle(cr, x, y, w, h);
    fillWith(cr, linear(x, y, x + w, y + h, {{0, {0.80, 0.80, 0.78}}, {1, {0.56, 0.56, 0.55}}}));
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    cairo_set_line_width(cr, 1);
    setColour(cr, {0.30, 0.30, 0.30});
    cairo_stroke(cr);
    for (double rx : {x + 4, x + w - 4})
        for (double ry : {y + 4, y + h - 4})
            dot(cr, rx, ry, 1.6, {0.42, 0.42, 0.41});
    double step = (h - 6) / static_cast<double>(lines.size());
    double at = y + 3 + step / 2;
    for (const char* line : lines) {
        text(cr, x + w / 2, at, line, std::min(9.0, step * 0.8), {0.08, 0.08, 0.08}, Font::Label);
        at += step;
    }
}

void recess(cairo_t* cr, double cx, double cy, double r)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * std::numbers::pi);
    setColour(cr, {0.04, 0.04, 0.04});
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r - 1, 0, 2 * std::numbers::pi);
    cairo_set_line_width(cr, 2.0);
    strokeWith(cr, linear(cx - r, cy - r, cx + r, cy + r, {{0, {0.02, 0.02, 0.02}}, {1, {0.38, 0.38, 0.39}}}));
}

void windowFrame(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_new_path(cr);
    cairo_rectangle(cr, x - 1.5, y - 1.5, w + 3, h + 3);
    cairo_set_line_width(cr, 3.0);
    strokeWith(cr, linear(x, y, x + w, y + h, {{0, {0.03, 0.03, 0.03}}, {1, {0.45, 0.45, 0.46}}}));
}

}  // namespace assetgen
