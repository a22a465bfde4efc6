#include "devhost/serve/gauge_picture.h"

#include <fmt/format.h>

#include <algorithm>

#include "devhost/serve/request_error.h"
#include "devhost/serve/tile_encoding.h"

namespace devhost {

GaugePicture::GaugePicture(const GaugeInstance& gauge, PanelRenderer& renderer, GaugeScale scale, int noPixelsStatus)
{
    const Point pixels = gauge.gaugePixels();
    if (pixels.x < 1 || pixels.y < 1)
        throw RequestError(fmt::format("{} has no pixels to draw", gauge.name()), noPixelsStatus);
    const double fit = std::min({1.0, MaxLensSide / (pixels.x * scale.x), MaxLensSide / (pixels.y * scale.y)});
    picture_ = renderGauge(gauge, renderer.images(), {scale.x * fit, scale.y * fit}, {}, renderer.lighting());
}

std::string GaugePicture::png() const
{
    const Box all{0, 0, cairo_image_surface_get_width(picture_.get()), cairo_image_surface_get_height(picture_.get())};
    return pngBytes(picture_.get(), all, {.level = FastPngLevel, .keepAlpha = true});
}

}  // namespace devhost
