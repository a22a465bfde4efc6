#include "devhost/core/panel_checks.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace devhost {

namespace {

struct Box {
    long long left, top, right, bottom;
};

// Where the gauge is drawn, in the window's pixels: a side not given
// follows the other in the gauge's own proportions, both absent its own
// size. Nothing when neither its line nor the host knows a size.
std::optional<Box> drawnBox(const PanelWindowSpec& window, const PlacedGauge& g, const std::optional<GaugeSize>& own)
{
    const bool known = own && own->width > 0 && own->height > 0;
    double w = g.width.value_or(0), h = g.height.value_or(0);
    if (!g.width && !g.height) {
        if (!known)
            return std::nullopt;
        w = own->width, h = own->height;
    } else if (!g.height) {
        h = known ? w * own->height / own->width : w;
    } else if (!g.width) {
        w = known ? h * own->width / own->height : h;
    }
    const auto at = [](double v, double scale) { return static_cast<long long>(std::llround(v * scale)); };
    const long long left = at(g.x, window.gaugeScaleX), top = at(g.y, window.gaugeScaleY);
    return Box{left, top, left + at(w, window.gaugeScaleX), top + at(h, window.gaugeScaleY)};
}

std::string named(const PlacedGauge& g) { return g.module + "!" + g.gauge; }

}  // namespace

std::string SharedIdent::message() const
{
    return "ident " + std::to_string(ident) + " is also the ident of the window at line " + std::to_string(firstLine);
}

std::vector<SharedIdent> sharedIdents(const std::vector<PanelWindowSpec>& windows)
{
    std::vector<const PanelWindowSpec*> inFileOrder;
    for (const PanelWindowSpec& w : windows)
        inFileOrder.push_back(&w);
    std::sort(inFileOrder.begin(), inFileOrder.end(), [](auto a, auto b) { return a->line < b->line; });
    std::map<int, int> firstLine;
    std::vector<SharedIdent> shared;
    for (const PanelWindowSpec* w : inFileOrder) {
        if (w->ident < 0)
            continue;
        auto [first, unique] = firstLine.try_emplace(w->ident, w->line);
        if (!unique)
            shared.push_back({w->number, w->line, w->ident, first->second});
    }
    return shared;
}

std::vector<PanelCheck> checkPanelLayout(const Panel& panel, const GaugeSizeLookup& ownSize)
{
    std::vector<PanelCheck> checks;
    for (const PanelWindowSpec& window : panel.windows) {
        std::vector<std::pair<const PlacedGauge*, Box>> boxes;
        for (const PlacedGauge& g : window.gauges) {
            const auto own = ownSize(g);
            const auto box = drawnBox(window, g, own);
            if (!box)
                continue;
            const auto add = [&](PanelCheck::Kind kind, std::string message) {
                checks.push_back({kind, window.number, g.line, std::move(message)});
            };
            for (const auto& [other, otherBox] : boxes)
                if (box->left < otherBox.right && otherBox.left < box->right && box->top < otherBox.bottom &&
                    otherBox.top < box->bottom)
                    add(PanelCheck::Kind::Overlap,
                        named(g) + " overlaps " + named(*other) + " (line " + std::to_string(other->line) + ")");
            if (window.sizeX > 0 && window.sizeY > 0 &&
                (box->left < 0 || box->top < 0 || box->right > window.sizeX || box->bottom > window.sizeY))
                add(PanelCheck::Kind::Outside,
                    named(g) + " sticks out of its window (" + std::to_string(box->left) + "," +
                        std::to_string(box->top) + " to " + std::to_string(box->right) + "," +
                        std::to_string(box->bottom) + " in " + std::to_string(window.sizeX) + "x" +
                        std::to_string(window.sizeY) + ")");
            if (own && own->width > 0 && own->height > 0) {
                const double sx = double(box->right - box->left) / own->width;
                const double sy = double(box->bottom - box->top) / own->height;
                const double largest = std::max(sx, sy), smallest = std::min(sx, sy);
                if (largest > EnlargeLimit || smallest * ShrinkLimit < 1)
                    add(PanelCheck::Kind::Blurred,
                        named(g) + " is drawn at " + std::to_string(box->right - box->left) + "x" +
                            std::to_string(box->bottom - box->top) + ", " +
                            (largest > EnlargeLimit ? "enlarged" : "shrunk") + " from its own " +
                            std::to_string(own->width) + "x" + std::to_string(own->height) + ": its bitmaps blur");
            }
            boxes.push_back({&g, *box});
        }
    }
    for (const SharedIdent& s : sharedIdents(panel.windows))
        checks.push_back({PanelCheck::Kind::SameIdent, s.window, s.line, s.message()});
    if (!panel.windows.empty() &&
        std::none_of(panel.windows.begin(), panel.windows.end(), [](const auto& w) { return !w.gauges.empty(); }))
        checks.push_back({PanelCheck::Kind::Empty, panel.windows.front().number, panel.windows.front().line,
                          "the panel places no gauge yet: devhost render and run refuse it until it places one"});
    return checks;
}

}  // namespace devhost
