#include "devhost/serve/tile_encoding.h"

#include "devhost/render/png_writer.h"

namespace devhost {

std::string encodePng(cairo_surface_t* surface, Box area, int level)
{
    return pngBytes(surface, area, {.level = level, .keepAlpha = false, .quickFilter = level <= FastPngLevel});
}

}  // namespace devhost
