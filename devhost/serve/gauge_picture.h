// One gauge drawn alone at a scale, as the lens and the editor's gauge
// list show it: drawn under the panel's lock (it reads the gauge and the
// renderer's pictures), encoded as PNG after the lock is let go.
#pragma once

#include <string>

#include "devhost/core/gauge_instance.h"
#include "devhost/render/panel_renderer.h"

namespace devhost {

// A gauge is drawn no larger than this many pixels a side (a larger
// request is drawn smaller, at the same proportions).
inline constexpr int MaxLensSide = 2048;

class GaugePicture {
public:
    // RequestError with `noPixelsStatus` for a gauge without pixels.
    GaugePicture(const GaugeInstance& gauge, PanelRenderer& renderer, GaugeScale scale, int noPixelsStatus = 400);
    std::string png() const;

private:
    SurfaceHandle picture_;
};

}  // namespace devhost
