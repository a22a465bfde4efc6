#include "devhost/core/panel_checks.h"

#include <algorithm>

namespace devhost {

namespace {

std::string named(const PlacedGauge& g) { return g.module + "!" + g.gauge; }

}  // namespace

std::vector<PanelCheck> checkPanelLayout(const Panel& panel, const ModuleGauges& module)
{
    std::vector<PanelCheck> checks;
    for (const PanelWindowSpec& window : panel.windows) {
        std::vector<std::pair<const PlacedGauge*, Box>> boxes;
        for (const PlacedGauge& g : window.gauges) {
            const auto own = module.ownSize(g);
            if (!own && !g.width && !g.height)
                continue;
            const Box box = drawnBox(window, g, own);
            const auto add = [&](PanelCheck::Kind kind, std::string message) {
                checks.push_back({kind, window.number, g.line, std::move(message)});
            };
            for (const auto& [other, otherBox] : boxes)
                if (overlaps(box, otherBox))
                    add(PanelCheck::Kind::Overlap,
                        named(g) + " overlaps " + named(*other) + " (line " + std::to_string(other->line) + ")");
            const long long right = (long long)box.x + box.width, bottom = (long long)box.y + box.height;
            if (window.sizeX > 0 && window.sizeY > 0 &&
                (box.x < 0 || box.y < 0 || right > window.sizeX || bottom > window.sizeY))
                add(PanelCheck::Kind::Outside,
                    named(g) + " sticks out of its window (" + std::to_string(box.x) + "," + std::to_string(box.y) +
                        " to " + std::to_string(right) + "," + std::to_string(bottom) + " in " +
                        std::to_string(window.sizeX) + "x" + std::to_string(window.sizeY) + ")");
            if (own && own->x > 0 && own->y > 0) {
                const double sx = double(box.width) / own->x, sy = double(box.height) / own->y;
                const double largest = std::max(sx, sy), smallest = std::min(sx, sy);
                if (largest > EnlargeLimit || smallest * ShrinkLimit < 1)
                    add(PanelCheck::Kind::Blurred,
                        named(g) + " is drawn at " + std::to_string(box.width) + "x" + std::to_string(box.height) +
                            ", " + (largest > EnlargeLimit ? "enlarged" : "shrunk") + " from its own " +
                            std::to_string(own->x) + "x" + std::to_string(own->y) + ": its bitmaps blur");
            }
            boxes.push_back({&g, box});
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
