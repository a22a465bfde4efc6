#include "devhost/render/lighting.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "framework/gauge_model.h"

namespace devhost {

namespace {

uint8_t blend(int night, int day, double level)
{
    return static_cast<uint8_t>(std::clamp(std::lround(night + (day - night) * level), 0L, 255L));
}

Tint between(const PanelColour& night, const PanelColour& day, double level)
{
    return {blend(night.r, day.r, level), blend(night.g, day.g, level), blend(night.b, day.b, level)};
}

}  // namespace

Tint Lighting::tintFor(uint32_t imageFlags) const
{
    if (imageFlags & ImageBright)
        return {};
    const double l = std::clamp(level, NightLevel, DaylightLevel);
    return between(imageFlags & ImageLuminous ? colours.luminous : colours.night, colours.day, l);
}

double checkedLightLevel(double level, const char* source)
{
    if (!(level >= Lighting::NightLevel && level <= Lighting::DaylightLevel))
        throw std::runtime_error(fmt::format("{} {}: the light level runs from {} (night) to {} (day)", source, level,
                                             Lighting::NightLevel, Lighting::DaylightLevel));
    return level;
}

}  // namespace devhost
