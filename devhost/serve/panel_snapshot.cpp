#include "devhost/serve/panel_snapshot.h"

#include <cstring>

namespace devhost {

SurfaceHandle copyArea(cairo_surface_t* picture, Box area)
{
    cairo_surface_flush(picture);
    const cairo_format_t format = cairo_image_surface_get_format(picture);
    SurfaceHandle copy = uninitialisedImage(format, area.width, area.height);
    const int from = cairo_image_surface_get_stride(picture), to = cairo_image_surface_get_stride(copy.get());
    const unsigned char* source = cairo_image_surface_get_data(picture);
    unsigned char* target = cairo_image_surface_get_data(copy.get());
    if (!source || !target)
        return copy;
    for (int row = 0; row < area.height; ++row)
        std::memcpy(target + size_t(row) * size_t(to), source + size_t(area.y + row) * size_t(from) + size_t(area.x) * 4,
                    size_t(area.width) * 4);
    cairo_surface_mark_dirty(copy.get());
    return copy;
}

}  // namespace devhost
