#include "devhost/core/module_gauges.h"

#include <algorithm>
#include <cmath>

#include "devhost/core/suggest.h"

namespace devhost {

Point ownSize(const GaugeInfo& gauge)
{
    if (gauge.width > 0 && gauge.height > 0)
        return {gauge.width, gauge.height};
    return {static_cast<int32_t>(gauge.defaultSize), static_cast<int32_t>(gauge.defaultSize)};
}

bool namesModule(std::string_view module, const std::filesystem::path& moduleFile)
{
    return module.empty() || sameName(module, ModuleName) || sameName(module, moduleFile.stem().string());
}

Point placedSize(Point asked, const std::optional<Point>& own)
{
    const auto follow = [](int side, int32_t ownSide, int32_t ownOther) {
        return ownSide > 0 ? static_cast<int32_t>(std::lround(double(side) * ownOther / ownSide)) : side;
    };
    if (asked.x == 0 && asked.y == 0)
        return own ? *own : Point{ForeignGaugeSize, ForeignGaugeSize};
    if (asked.y == 0)
        return {asked.x, own ? follow(asked.x, own->x, own->y) : asked.x};
    if (asked.x == 0)
        return {own ? follow(asked.y, own->y, own->x) : asked.y, asked.y};
    return asked;
}

Box drawnBox(const PanelWindowSpec& window, const PlacedGauge& gauge, const std::optional<Point>& own)
{
    // Held within what a placement can take, so that a texture scaled far
    // up comes to a size the host refuses, not to a wrapped number.
    const auto scaled = [](int v, double by) {
        constexpr double Farthest = 1e9;
        return static_cast<int32_t>(std::lround(std::clamp(v * by, -Farthest, Farthest)));
    };
    const Point size = placedSize({gauge.width.value_or(0), gauge.height.value_or(0)}, own);
    return {scaled(gauge.x, window.gaugeScaleX), scaled(gauge.y, window.gaugeScaleY),
            std::max(1, scaled(size.x, window.gaugeScaleX)), std::max(1, scaled(size.y, window.gaugeScaleY))};
}

ModuleGauges::ModuleGauges(std::filesystem::path moduleFile, std::vector<GaugeInfo> gauges)
    : file_(std::move(moduleFile)), gauges_(std::move(gauges))
{
}

const GaugeInfo* ModuleGauges::find(std::string_view gauge) const
{
    const auto it = std::find_if(gauges_.begin(), gauges_.end(), [&](const GaugeInfo& g) { return g.name == gauge; });
    return it == gauges_.end() ? nullptr : &*it;
}

const GaugeInfo* ModuleGauges::placed(const PlacedGauge& g) const
{
    return namesOurs(g.module) ? find(g.gauge) : nullptr;
}

std::optional<Point> ModuleGauges::ownSize(const PlacedGauge& g) const
{
    const GaugeInfo* info = placed(g);
    return info ? std::optional(devhost::ownSize(*info)) : std::nullopt;
}

Point ModuleGauges::placedSize(const PlacedGauge& g) const
{
    return devhost::placedSize({g.width.value_or(0), g.height.value_or(0)}, ownSize(g));
}

Box ModuleGauges::drawnBox(const PanelWindowSpec& window, const PlacedGauge& g) const
{
    return devhost::drawnBox(window, g, ownSize(g));
}

}  // namespace devhost
