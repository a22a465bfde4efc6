#include "devhost/render/cairo_handles.h"

#include <fontconfig/fontconfig.h>

#include <cstdlib>

namespace devhost {

SurfaceHandle imageOwning(unsigned char* data, cairo_format_t format, int width, int height, int stride)
{
    SurfaceHandle surface(cairo_image_surface_create_for_data(data, format, width, height, stride));
    static const cairo_user_data_key_t pixels{};
    if (cairo_surface_set_user_data(surface.get(), &pixels, data, std::free) != CAIRO_STATUS_SUCCESS)
        std::free(data);  // the surface is in error (out of memory) and draws nothing
    return surface;
}

SurfaceHandle uninitialisedImage(cairo_format_t format, int width, int height)
{
    const int stride = cairo_format_stride_for_width(format, width);
    auto* data = stride > 0 ? static_cast<unsigned char*>(std::malloc(size_t(stride) * height)) : nullptr;
    if (!data)
        return SurfaceHandle(cairo_image_surface_create(format, width, height));
    return imageOwning(data, format, width, height, stride);
}

void releaseDrawingCaches()
{
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace devhost
