// Which gauges of a panel are the module's, and the size and place each
// is drawn at: one answer for the host that places them, the layout
// checks, the live page's editor and `devhost panel`.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/geometry.h"
#include "devhost/core/panel_file.h"

namespace devhost {

// The module's name, as panels name it before '!' and its file is named.
inline constexpr std::string_view ModuleName = "Vardex_Instr";

// The size of a gauge of another module whose line gives none (the usual
// default size of an instrument, in the panel's pixels).
inline constexpr int ForeignGaugeSize = 100;

// A gauge as the module lists it (for `devhost list`).
struct GaugeInfo {
    std::string name;
    uint32_t defaultSize = 0;         // mm
    bool hasCallback = false;
    int width = 0, height = 0;        // the gauge's own pixels (root bitmap), 0 when unknown
};

// A gauge's own size: its root bitmap's, or without one its default size
// in millimetres standing in for a square of as many pixels.
Point ownSize(const GaugeInfo& gauge);

// Whether a line's module (the text before '!') is the module loaded from
// `moduleFile`: the simulator finds a gauge's module by file name, whatever
// the case; the module under test answers to its own file's name, to ours,
// and to a line that names none.
bool namesModule(std::string_view module, const std::filesystem::path& moduleFile);

// The size a gauge is placed at, in its line's units: a side not given (0)
// follows the other in the gauge's own proportions, neither given its own
// size. A gauge of unknown size (another module's) is square, of
// ForeignGaugeSize when its line gives no size.
Point placedSize(Point asked, const std::optional<Point>& own);

// Where it is drawn in its window's pixels: a virtual cockpit's gauges
// scaled to its texture, each side at least a pixel.
Box drawnBox(const PanelWindowSpec& window, const PlacedGauge& gauge, const std::optional<Point>& own);

// The module's gauges as a panel's lines name them.
class ModuleGauges {
public:
    ModuleGauges() = default;   // no module loaded: no line is known as its
    ModuleGauges(std::filesystem::path moduleFile, std::vector<GaugeInfo> gauges);

    const std::vector<GaugeInfo>& gauges() const { return gauges_; }
    bool namesOurs(std::string_view module) const { return namesModule(module, file_); }
    const GaugeInfo* find(std::string_view gauge) const;   // by its name as the module lists it
    // The module's gauge a line places: nothing for another module's, or a
    // name the module does not have.
    const GaugeInfo* placed(const PlacedGauge& g) const;
    std::optional<Point> ownSize(const PlacedGauge& g) const;
    Point placedSize(const PlacedGauge& g) const;
    Box drawnBox(const PanelWindowSpec& window, const PlacedGauge& g) const;

private:
    std::filesystem::path file_;
    std::vector<GaugeInfo> gauges_;
};

}  // namespace devhost
