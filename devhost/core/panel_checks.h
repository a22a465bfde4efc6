// What a designer wants to know while laying out a panel: gauges over one
// another, gauges that stick out of their window, gauges drawn so far from
// their own size that their bitmaps blur, windows sharing an ident, and a
// panel that places no gauge yet.
// `devhost panel show` prints them; the live page will mark them.
#pragma once

#include <string>
#include <vector>

#include "devhost/core/module_gauges.h"
#include "devhost/core/panel_file.h"

namespace devhost {

struct PanelCheck {
    enum class Kind { Overlap, Outside, Blurred, SameIdent, Empty } kind;
    int window = 0;           // its number
    int line = 0;             // the gauge's line, or the window's for SameIdent and Empty (the first window)
    std::string message;
};

// A gauge is taken as blurred when drawn larger than this times its own
// size, or smaller than its own size divided by ShrinkLimit (faces drawn
// at twice their placed size, as this module's are, stay sharp).
inline constexpr double EnlargeLimit = 1.25;
inline constexpr double ShrinkLimit = 3.0;

// Gauges are checked where `module` says they are drawn; another module's
// gauge, of unknown size, only where its line gives a size.
std::vector<PanelCheck> checkPanelLayout(const Panel& panel, const ModuleGauges& module);

}  // namespace devhost
