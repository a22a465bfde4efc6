// The four radios: grey crinkle fronts, scale discs read under a red index,
// fluted tuning knobs, bar-lever switches and pilot lamps. The figures on
// every disc are placed by the turn that its element will give it for that
// frequency, so the reading under the index is the host's frequency.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "tools/assetgen/recipes.h"
#include "tools/assetgen/style.h"

namespace assetgen {

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Pi = std::numbers::pi;
constexpr double Degrees = 180.0 / Pi;

// Where the bar levers of the main and tone switches stand.
constexpr double LeverOff = -130, LeverOn = -50;
constexpr Colour Green{0.35, 0.95, 0.45}, Amber{1.0, 0.70, 0.20}, LampRed{1.0, 0.25, 0.18};

void engraved(cairo_t* cr, double x, double y, const char* s, double size = 11)
{
    text(cr, x, y, s, size, palette::Engraving, Font::Label);
}

void radioFront(cairo_t* cr, double w, double h)
{
    frontPlate(cr, 0.5, 0.5, w - 1, h - 1, 8);
    cornerScrews(cr, w, h, 11, 5.5);
}

// A bar-lever switch's socket with its two positions engraved beside it.
void switchSocket(cairo_t* cr, double cx, double cy, double r, const char* name)
{
    recess(cr, cx, cy, r);
    // Beside the lever's two positions, kept clear of the plate's corner screws.
    Xy off = polar(cx, cy, r + 7, LeverOff), on = polar(cx, cy, r + 7, LeverOn);
    engraved(cr, std::max(off.x - 4, 26.0), std::max(off.y, 10.0), "AUS", 9);
    engraved(cr, on.x + 4, std::max(on.y, 10.0), "EIN", 9);
    if (name)
        engraved(cr, cx, cy + r + 10, name, 10);
}

void cut(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_restore(cr);
}

// A scale window on a front: its dark surround and bevelled frame.
void windowSurround(cairo_t* cr, double x, double y, double w, double h)
{
    cairo_rectangle(cr, x - 8, y - 5, w + 16, h + 10);
    setColour(cr, {0.09, 0.09, 0.095});
    cairo_fill(cr);
    windowFrame(cr, x, y, w, h);
}

// A band of a scale's figures across a window, from top to bottom on the
// face: the index line leaves it open, so that no figure is read through it.
struct Span {
    double top, bottom;
};

// A scale window on the face, and where its red index runs.
struct ScaleWindow {
    double x, y, width, height;
    double indexX;
    std::vector<Span> figures;
};

// The red index across the window but for the bands where figures pass;
// what is left of it points at the ticks.
void indexLine(cairo_t* cr, const ScaleWindow& w)
{
    std::vector<Span> figures = w.figures;
    std::sort(figures.begin(), figures.end(), [](const Span& a, const Span& b) { return a.top < b.top; });
    double from = w.y;
    figures.push_back({w.y + w.height, w.y + w.height});
    for (const Span& band : figures) {
        if (band.top > from) {
            cairo_move_to(cr, w.indexX, from);
            cairo_line_to(cr, w.indexX, band.top);
        }
        from = std::max(from, band.bottom);
    }
    cairo_set_line_width(cr, 1.6);
    setColour(cr, palette::Red);
    cairo_stroke(cr);
}

// On a front mask: the window cut out. The index is not drawn on the mask
// but on the pieces drawn over the scale inside the window (litIndex): the
// front is not lit at night, and its index, drawn last, would hide theirs.
void openWindow(cairo_t* cr, const ScaleWindow& w)
{
    cut(cr, w.x, w.y, w.width, w.height);
}

// The index on a piece drawn over the scale inside the window, whose top
// left lies at `at` on the face: lit with the scale at night.
void litIndex(cairo_t* cr, const ScaleWindow& w, Point at)
{
    cairo_save(cr);
    cairo_translate(cr, -at.x, -at.y);
    indexLine(cr, w);
    cairo_restore(cr);
}

// The radios' scale figures: narrow, and as tall as the band between a
// disc's ticks and its window's edge allows, since the panel shows the
// radios at half their size and these are their smallest print.
constexpr double FigureCondense = 0.8;     // of the narrow face's own width
constexpr double FigureCapShare = 0.72;    // a figure's height, of the font size
constexpr double FigureClearance = 1.0;    // between a figure and the index's ends

// Where a disc's figures run: their middle's distance from its centre, and
// their height.
struct FigureBand {
    double radius, cap;
    // The band on the face, straight up from a disc centred at centreY.
    Span across(double centreY) const
    {
        return {centreY - radius - cap / 2 - FigureClearance, centreY - radius + cap / 2 + FigureClearance};
    }
};

void scaleFigure(cairo_t* cr, Xy at, const std::string& s, double cap, double rotation)
{
    cairo_save(cr);
    cairo_translate(cr, at.x, at.y);
    cairo_rotate(cr, rotation / Degrees);
    cairo_scale(cr, FigureCondense, 1.0);
    text(cr, 0, 0, s, cap / FigureCapShare, palette::Marking, Font::Label);
    cairo_restore(cr);
}

// The screen angle of a sprite's index: straight up from its texture centre
// to the window's middle.
double indexAngle(const ElementInfo& s, double windowWidth, double windowHeight)
{
    return std::atan2(s.position.y + windowHeight / 2 - s.offset.y, s.position.x + windowWidth / 2 - s.offset.x) *
           Degrees;
}

// A scale disc of a sprite: value v stands where the disc's turn for v
// brings it under the index. A positive turn is counter-clockwise on screen,
// as the compass card's heading needs.
struct DiscScale {
    Point centre;      // in the disc's bitmap
    double index;      // screen angle of the index
    double perUnit;    // degrees of turn per unit
    double zero;       // the value at which the disc is not turned
    double at(double v) const { return index + (v - zero) * perUnit; }
};

void discBody(cairo_t* cr, Point c, double r)
{
    cairo_arc(cr, c.x, c.y, r, 0, 2 * Pi);
    setColour(cr, {0.075, 0.075, 0.08});
    cairo_fill(cr);
    cairo_arc(cr, c.x, c.y, r - 1, 0, 2 * Pi);
    cairo_set_line_width(cr, 1.5);
    setColour(cr, {0.25, 0.25, 0.26});
    cairo_stroke(cr);
}

void discFigure(cairo_t* cr, const DiscScale& d, double v, const FigureBand& band, const std::string& s)
{
    double deg = d.at(v);
    scaleFigure(cr, polar(d.centre, band.radius, deg), s, band.cap, deg - d.index);
}

// The front of the COM and NAV radios: a frequency window made of the two
// discs' windows, the tuning knob's recess, and the radio's own fittings.
// The front mask repeats it with the window cut out under the red index.
struct Engraving {
    double x, y;
    const char* text;
    double size;
};

struct Socket {
    double x, y, r;
    const char* name;
};

struct FrequencyFront {
    const char* gauge;
    int width, height;
    int upperDisc, lowerDisc, knob;
    double windowWidth, lowerWindowHeight;
    FigureBand upperFigures, lowerFigures;
    double knobRecess;
    std::vector<Engraving> engravings;
    std::vector<Socket> switches;
    Xy lamp;
    Xy plate;                         // the type plate's upper left corner
    std::vector<const char*> plateLines;
};

// The two discs' windows together, with the index straight above the
// discs' common centre.
ScaleWindow frequencyWindow(const Layout& l, const FrequencyFront& f)
{
    const auto& upper = l.element(f.gauge, Sprite, f.upperDisc);
    const auto& lower = l.element(f.gauge, Sprite, f.lowerDisc);
    const double top = upper.position.y;
    return {double(upper.position.x), top, f.windowWidth, lower.position.y + f.lowerWindowHeight - top,
            double(upper.offset.x), {f.upperFigures.across(upper.offset.y), f.lowerFigures.across(lower.offset.y)}};
}

void frequencyFront(cairo_t* cr, const Layout& l, const FrequencyFront& f, bool mask)
{
    const auto& knob = l.element(f.gauge, Sprite, f.knob);
    radioFront(cr, f.width, f.height);
    const ScaleWindow window = frequencyWindow(l, f);
    const double wx = window.x, wy = window.y;
    windowSurround(cr, wx, wy, window.width, window.height);
    engraved(cr, wx + f.windowWidth + 34, wy + 12, "MHz", 12);
    recess(cr, knob.offset.x, knob.offset.y, f.knobRecess);
    for (const auto& e : f.engravings)
        engraved(cr, e.x, e.y, e.text, e.size);
    for (const auto& s : f.switches)
        switchSocket(cr, s.x, s.y, s.r, s.name);
    lampSocket(cr, f.lamp.x, f.lamp.y, 9.5);
    typePlate(cr, f.plate.x, f.plate.y, 78, 40, {f.plateLines[0], f.plateLines[1], f.plateLines[2]});
    if (mask)
        openWindow(cr, window);
}

// A disc's window: open but for the index, lit with the disc at night.
void frequencyDiscWindow(cairo_t* cr, const Layout& l, const FrequencyFront& f, int disc)
{
    litIndex(cr, frequencyWindow(l, f), l.element(f.gauge, Sprite, disc).position);
}

// A disc of whole MHz, `first` to `last` one turn step apart, with a mark
// at each half MHz on its rim, above the figures; the window's middle is
// the index.
constexpr double HalfMhzMark = 4;

void wholeMhzDisc(cairo_t* cr, const ElementInfo& s, double windowW, double windowH, int first, int last, int radius,
                  const FigureBand& figures)
{
    DiscScale d{{radius + 1, radius + 1}, indexAngle(s, windowW, windowH), s.rotationScale, double(first)};
    discBody(cr, d.centre, radius);
    for (int v = first; v <= last; ++v) {
        discFigure(cr, d, v, figures, std::to_string(v));
        tick(cr, d.centre, d.at(v + 0.5), radius - HalfMhzMark, radius, 1.2);
    }
}

// ---------------------------------------------------------------- COM radio

constexpr const char* Com = "Radio_COM_SK10";
constexpr int ComW = 350, ComH = 360;
constexpr double MhzWindowW = 45, MhzWindowH = 24, DecimalWindowW = 45, DecimalWindowH = 26;
constexpr int ComMhzRadius = 167;
// Each between its disc's rim marks and the part of the window the other
// disc shows in.
constexpr FigureBand ComMhzFigures{156.5, 13}, ComDecimalFigures{136, 14};

const FrequencyFront ComFront = {Com, ComW, ComH, 2240, 2250, 2260, MhzWindowW, DecimalWindowH,
                                 ComMhzFigures, ComDecimalFigures, 84,
                                 {{118, 50, "SK 10", 14}, {175, 159, "ABSTIMMUNG", 11}},
                                 {{45, 46, 36, "NETZ"}}, {322.5, 302.5},
                                 {14, 300}, {"Bedienger\u00e4t", "SK 10", "Werk-Nr. 40217"}};

void comDecimalDisc(cairo_t* cr, const Layout& l)
{
    const auto& s = l.element(Com, Sprite, 2250);
    DiscScale d{{150, 150}, indexAngle(s, DecimalWindowW, DecimalWindowH), s.rotationScale, 0};
    discBody(cr, d.centre, 149);
    for (int k = 0; k < 40; ++k) {
        double v = k / 10.0;
        discFigure(cr, d, v, ComDecimalFigures, "0," + std::to_string(k % 10));
        for (int c = 1; c < 4; ++c)  // the 25-kHz channels
            tick(cr, d.centre, d.at(v + c * 0.025), c == 2 ? 143 : 145, 149, 1.0);
    }
}

// ---------------------------------------------------------------- NAV receiver

constexpr const char* Nav = "Radio_NAV_E10K";
constexpr int NavW = 350, NavH = 286;
constexpr double CoarseWindowW = 37, CoarseWindowH = 18, FineWindowW = 37, FineWindowH = 19;
constexpr int NavCoarseRadius = 143;
constexpr FigureBand NavCoarseFigures{133.25, 10.5}, NavFineFigures{116, 11.5};

const FrequencyFront NavFront = {Nav, NavW, NavH, 2310, 2320, 2330, CoarseWindowW, FineWindowH,
                                 NavCoarseFigures, NavFineFigures, 80,
                                 {{270, 120, "E 10 K", 16}, {270, 140, "NAVIGATION", 10}},
                                 {{53, 238, 27, "KENNUNG"}, {129, 238, 27, "NETZ"}}, {41.5, 21.5},
                                 {232, 180}, {"Empf\u00e4nger", "E 10 K", "Werk-Nr. 11583"}};

void navFineDisc(cairo_t* cr, const Layout& l)
{
    const auto& s = l.element(Nav, Sprite, 2320);
    // Four rounds of 0,0 to 0,9, each a quarter turn apart; within a round
    // the figures follow the disc's own turn per MHz.
    Point c{128, 128};
    discBody(cr, c, 127);
    double index = indexAngle(s, FineWindowW, FineWindowH);
    for (int round = 0; round < 4; ++round)
        for (int k = 0; k < 10; ++k) {
            DiscScale d{c, index + round * 90.0, s.rotationScale, 0};
            discFigure(cr, d, k / 10.0, NavFineFigures, "0," + std::to_string(k));
            tick(cr, c, d.at(k / 10.0 + 0.05), 123, 127, 1.0);
        }
}

// ---------------------------------------------------------------- transponder

constexpr const char* Xpdr = "Radio_XPDR_FUG25A6";
constexpr int XpdrW = 400, XpdrH = 255, WheelCell = 18, WheelStrip = 198;

void transponderFront(cairo_t* cr, const Layout& l)
{
    radioFront(cr, XpdrW, XpdrH);
    // The four wheels' windows.
    for (int k = 0; k < 4; ++k) {
        Point at = l.element(Xpdr, MovingImage, 2180, k).position;
        cairo_rectangle(cr, at.x - 2, at.y - 2, WheelCell + 4, WheelCell + 4);
        setColour(cr, {0.06, 0.06, 0.06});
        cairo_fill(cr);
        windowFrame(cr, at.x, at.y, WheelCell, WheelCell);
    }
    // Each digit knob with a dot for every digit where its pointer stands.
    for (int k = 0; k < 4; ++k) {
        const auto& knob = l.element(Xpdr, Needle, 2220, k);
        recess(cr, knob.position.x, knob.position.y, 26);
        for (int digit = 0; digit <= 9; ++digit) {
            Xy p = polar(knob.position, 30, needleAngle(knob, digit));
            dot(cr, p.x, p.y, digit == 0 ? 2.0 : 1.3, palette::Engraving);
        }
    }
    switchSocket(cr, 101, 145, 24, "NETZ");
    recess(cr, 358, 191, 24);
    engraved(cr, 358, 226, "KENNUNG", 10);
    lampSocket(cr, 70.5, 18.5, 9.5);
    engraved(cr, 60, 210, "FuG 25a", 16);
    typePlate(cr, 190, 176, 78, 40, {"Kenngerät", "FuG 25 a", "Werk-Nr. 3306"});
    engraved(cr, 60, 228, "KENNGER\u00c4T", 10);
}

void transponderWheel(cairo_t* cr, const Layout& l)
{
    // 0 to 9 and 0 again: the tenth step rolls over to the first digit.
    figureStrip(cr, l.element(Xpdr, MovingImage, 2180), WheelStrip, WheelCell, true, 14, 10);
}

void digitKnob(cairo_t* cr, const Layout& l)
{
    // A needle: its pointer lies along the bitmap's +x axis.
    const auto& k = l.element(Xpdr, Needle, 2220);
    flutedKnob(cr, k.offset.x, k.offset.y, 22, 14, 0.0);
}

// ---------------------------------------------------------------- ADF receiver

constexpr const char* Adf = "Radio_ADF_EZ6";
constexpr int AdfW = 600, AdfH = 492, MaskW = 132, MaskH = 103;

struct Ring {
    double inner, outer;   // the band of the disc that the mask leaves open
    FigureBand figures;    // inside the marks
    double tickIn, tickOut;
};
constexpr Ring Rings[3] = {{78, 108, {88, 16}, 100, 107}, {110, 138, {119.5, 15}, 130, 137},
                           {141, 173, {151, 17}, 164, 172}};

// The scale value of a frequency in a band (the receiver's own formula).
double adfScale(int band, double khz)
{
    switch (band) {
    case 1:
        return (khz - 200) * 5 / 10;
    case 2:
        return (khz - 410) * 4 / 10;
    default:
        return (khz - 850) * 3 / 10;
    }
}

// The scale window, which the band masks fill, with the index straight
// above the scale's pivot.
ScaleWindow adfWindow(const Layout& l)
{
    const auto& scale = l.element(Adf, Needle, 1370);
    const auto& masks = l.element(Adf, Icon, 1360);
    ScaleWindow window{double(masks.position.x), double(masks.position.y), MaskW, MaskH, double(scale.position.x), {}};
    for (const Ring& r : Rings)
        window.figures.push_back(r.figures.across(scale.position.y));
    return window;
}

void adfFront(cairo_t* cr, const Layout& l, bool mask)
{
    const auto& tuning = l.element(Adf, Needle, 1320);
    const auto& band = l.element(Adf, Needle, 1310);
    const auto& masks = l.element(Adf, Icon, 1360);
    radioFront(cr, AdfW, AdfH);
    double wx = masks.position.x, wy = masks.position.y;
    windowSurround(cr, wx, wy, MaskW, MaskH);
    engraved(cr, wx + MaskW + 40, wy + 20, "kHz", 13);
    engraved(cr, 110, 40, "EZ 6", 22);
    engraved(cr, 110, 64, "ZIELFLUG-PEILGER\u00c4T", 10);
    typePlate(cr, 70, 150, 86, 44, {"Peilempf\u00e4nger", "EZ 6", "Werk-Nr. 7721"});
    recess(cr, tuning.position.x, tuning.position.y, 88);
    engraved(cr, tuning.position.x, tuning.position.y + 100, "ABSTIMMUNG", 11);
    recess(cr, band.position.x, band.position.y, 56);
    engraved(cr, band.position.x, band.position.y - 78, "BEREICH", 11);
    // The band labels where the selector's pointer stands for each band.
    const char* names[] = {"200-410", "410-850", "850-1750"};
    double values[] = {300, 60, 180};
    for (int b = 0; b < 3; ++b) {
        double deg = needleAngle(band, values[b]);
        tick(cr, band.position, deg, 57, 64, 3, palette::Engraving);
        Xy p = polar(band.position, b == 2 ? 74 : 82, deg);
        p.x = std::min(p.x, AdfW - 30.0);
        engraved(cr, p.x, p.y, names[b], 11);
    }
    switchSocket(cr, 78, 403, 52, "TON");
    switchSocket(cr, 535, 393, 55, "NETZ");
    lampSocket(cr, 302.5, 471.5, 9.5);
    if (mask)
        openWindow(cr, adfWindow(l));
}

// The scale disc turns as a needle: its bitmap's +x axis points where the
// table says. A frequency sits at the bitmap angle that the turn for its
// scale value brings under the index, straight up from the pivot.
void adfScaleDisc(cairo_t* cr, const Layout& l)
{
    const auto& n = l.element(Adf, Needle, 1370);
    Point c{n.offset.x, n.offset.y};
    double index = -90;
    discBody(cr, c, 174);
    auto place = [&](int band, double khz) { return index - needleAngle(n, adfScale(band, khz)); };
    auto ring = [&](int band, double from, double to, double step, double majorStep, double labelStep) {
        const Ring& r = Rings[band - 1];
        arcBand(cr, c, r.tickOut - 0.7, r.tickOut + 0.7, place(band, to), place(band, from), palette::Marking);
        int count = static_cast<int>(std::lround((to - from) / step));
        for (int i = 0; i <= count; ++i) {
            double f = from + i * step;
            bool major = std::fmod(f, majorStep) < 1e-6;
            tick(cr, c, place(band, f), major ? r.tickIn - 2 : r.tickIn + 2, r.tickOut, major ? 2.2 : 1.0);
            if (std::fmod(f, labelStep) < 1e-6) {
                double deg = place(band, f);
                scaleFigure(cr, polar(c, r.figures.radius, deg), std::to_string(static_cast<int>(f)), r.figures.cap,
                            deg - index);
            }
        }
    };
    ring(1, 200, 410, 5, 10, 50);
    ring(2, 410, 850, 10, 50, 50);
    ring(3, 850, 1750, 10, 50, 100);
}

// Band mask k leaves ring k open; frame 0 covers all three. The index
// crosses it, lit with it at night.
void bandMask(cairo_t* cr, const Layout& l, int frame)
{
    const auto& n = l.element(Adf, Needle, 1370);
    const auto& m = l.element(Adf, Icon, 1360);
    Point c{n.position.x - m.position.x, n.position.y - m.position.y};
    cairo_rectangle(cr, 0, 0, MaskW, MaskH);
    if (frame >= 1 && frame <= 3) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, c.x, c.y, Rings[frame - 1].outer, 0, 2 * Pi);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, c.x, c.y, Rings[frame - 1].inner, 2 * Pi, 0);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    fillWith(cr, linear(0, 0, 0, MaskH, {{0, {0.13, 0.13, 0.135}}, {1, {0.07, 0.07, 0.075}}}));
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    if (frame >= 1 && frame <= 3)
        for (double r : {Rings[frame - 1].inner, Rings[frame - 1].outer}) {
            cairo_new_path(cr);
            cairo_arc(cr, c.x, c.y, r, 0, 2 * Pi);
            cairo_set_line_width(cr, 1.5);
            setColour(cr, {0.30, 0.30, 0.31});
            cairo_stroke(cr);
        }
    litIndex(cr, adfWindow(l), m.position);
}

void pointerKnob(cairo_t* cr, double c, double r)
{
    rotaryLever(cr, c, c, r, 0);
}

}  // namespace

void addRadios(Recipes& out)
{
    auto empty = [](cairo_t*, const Layout&) {};  // a window the whole texture shows through
    auto lever = [](double c, double r, double deg) {
        return [=](cairo_t* cr, const Layout&) { rotaryLever(cr, c, c, r, deg); };
    };
    auto lamp = [](Colour colour) { return [=](cairo_t* cr, const Layout&) { litLamp(cr, 9.5, 9.5, 9, colour); }; };
    // A bar-lever switch's two frames: off, then on.
    auto switchFrames = [&](int n, int size, double r) {
        out.add(n, size, size, lever(size / 2.0, r, LeverOff));
        out.add(n + 1, size, size, lever(size / 2.0, r, LeverOn));
    };
    // A tuning knob turned as a sprite, and its window: all of it open.
    auto knobSprite = [&](int n, int size, double r) {
        out.add(n, size, size, [=](cairo_t* cr, const Layout&) { flutedKnob(cr, size / 2.0, size / 2.0, r, 24, -90); });
        out.add(n + 1, size, size, empty);
    };

    // The COM and NAV radios number their art alike from their front: the
    // MHz disc and its window +10, the fine disc +20, the knob +30, the main
    // switch +40, the lamp +50, the front mask +60.
    auto frequencyRadio = [&](int front, int w, int h, const FrequencyFront& design, int mhzSize, Point mhzWindow,
                              auto mhzDraw, int fineSize, Point fineWindow, auto fineDraw, int knobSize, double knobR,
                              int switchSize) {
        out.add(front, w, h, [&design](cairo_t* cr, const Layout& l) { frequencyFront(cr, l, design, false); });
        out.add(front + 10, mhzSize, mhzSize, mhzDraw);
        out.add(front + 11, mhzWindow.x, mhzWindow.y,
                [&design, front](cairo_t* cr, const Layout& l) { frequencyDiscWindow(cr, l, design, front + 10); });
        out.add(front + 20, fineSize, fineSize, fineDraw);
        out.add(front + 21, fineWindow.x, fineWindow.y,
                [&design, front](cairo_t* cr, const Layout& l) { frequencyDiscWindow(cr, l, design, front + 20); });
        knobSprite(front + 30, knobSize, knobR);
        switchFrames(front + 40, switchSize, switchSize * 0.4);
        out.add(front + 50, 19, 19, lamp(Green));
        out.add(front + 60, w, h, [&design](cairo_t* cr, const Layout& l) { frequencyFront(cr, l, design, true); });
    };
    // The MHz discs turn counter-clockwise as the frequency rises, so their
    // figures run clockwise from the top.
    frequencyRadio(2230, ComW, ComH, ComFront, 336, {45, 24}, [](cairo_t* cr, const Layout& l) {
        wholeMhzDisc(cr, l.element(Com, Sprite, 2240), MhzWindowW, MhzWindowH, 118, 136, ComMhzRadius, ComMhzFigures);
    }, 300, {45, 26}, comDecimalDisc, 174, 80, 80);
    frequencyRadio(2300, NavW, NavH, NavFront, 288, {37, 18}, [](cairo_t* cr, const Layout& l) {
        wholeMhzDisc(cr, l.element(Nav, Sprite, 2310), CoarseWindowW, CoarseWindowH, 108, 118, NavCoarseRadius,
                     NavCoarseFigures);
    }, 256, {37, 19}, navFineDisc, 170, 78, 74);
    switchFrames(2370, 74, 29);  // the NAV receiver's identifier-tone switch

    out.add(2170, XpdrW, XpdrH, transponderFront);
    out.add(2180, WheelCell, WheelStrip, transponderWheel);
    out.add(2181, WheelCell, WheelCell, empty);
    switchFrames(2190, 50, 21);
    out.add(2200, 19, 19, lamp(LampRed));
    out.add(2210, 50, 50, [](cairo_t* cr, const Layout&) { toggleLever(cr, 25, 25, 9, 15, -90); });
    out.add(2211, 50, 50, [](cairo_t* cr, const Layout&) { toggleLever(cr, 25, 25, 9, 15, 90); });
    out.add(2220, 50, 50, digitKnob);

    out.add(1300, AdfW, AdfH, [](cairo_t* cr, const Layout& l) { adfFront(cr, l, false); });
    out.add(1310, 124, 124, [](cairo_t* cr, const Layout&) { pointerKnob(cr, 62, 50); });
    out.add(1320, 172, 172, [](cairo_t* cr, const Layout&) { flutedKnob(cr, 86, 86, 80, 24, 0.0); });
    switchFrames(1330, 124, 50);
    out.add(1340, 19, 19, lamp(Amber));
    switchFrames(1350, 118, 48);
    for (int frame = 0; frame < 4; ++frame)
        out.add(1360 + frame, MaskW, MaskH, [frame](cairo_t* cr, const Layout& l) { bandMask(cr, l, frame); });
    out.add(1370, 350, 350, adfScaleDisc);
    out.add(1380, AdfW, AdfH, [](cairo_t* cr, const Layout& l) { adfFront(cr, l, true); });
}

}  // namespace assetgen
