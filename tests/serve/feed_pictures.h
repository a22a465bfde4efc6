// The feed's pictures as the page sees them: PNG bytes read back into a surface.
#pragma once

#include <cairo.h>

#include <cstring>
#include <string_view>

#include "devhost/render/cairo_handles.h"

namespace devhost::testing {

// A surface in error when the bytes are not a whole PNG.
inline SurfaceHandle decodedPng(std::string_view png)
{
    return SurfaceHandle(cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* data, unsigned int length) {
            auto& rest = *static_cast<std::string_view*>(closure);
            if (length > rest.size())
                return CAIRO_STATUS_READ_ERROR;
            std::memcpy(data, rest.data(), length);
            rest.remove_prefix(length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png));
}

}  // namespace devhost::testing
