// What a designer wants to know while laying out a panel: gauges over one
// another, gauges that stick out of their window, gauges drawn so far from
// their own size that their bitmaps blur, windows sharing an ident, and a
// panel that places no gauge yet.
// `devhost panel show` prints them; the live page will mark them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devhost/core/panel_file.h"

namespace devhost {

struct PanelCheck {
    enum class Kind { Overlap, Outside, Blurred, SameIdent, Empty } kind;
    int window = 0;           // its number
    int line = 0;             // the gauge's line, or the window's for SameIdent and Empty (the first window)
    std::string message;
};

// A gauge's own size in pixels (its root bitmap), when known: gauges of
// other modules, unknown to the host, are checked where their placed size
// is given only.
struct GaugeSize {
    int width = 0, height = 0;
};
using GaugeSizeLookup = std::function<std::optional<GaugeSize>(const PlacedGauge&)>;

// A gauge is taken as blurred when drawn larger than this times its own
// size, or smaller than its own size divided by ShrinkLimit (faces drawn
// at twice their placed size, as this module's are, stay sharp).
inline constexpr double EnlargeLimit = 1.25;
inline constexpr double ShrinkLimit = 3.0;

std::vector<PanelCheck> checkPanelLayout(const Panel& panel, const GaugeSizeLookup& ownSize);

// Windows that share an ident with an earlier one (the same ident twice
// makes the simulator open one of them only): each with the line of the one
// before. Windows in file order.
struct SharedIdent {
    int window = 0, line = 0, ident = 0, firstLine = 0;
    std::string message() const;
};
std::vector<SharedIdent> sharedIdents(const std::vector<PanelWindowSpec>& windows);

}  // namespace devhost
