// Owning handles for the Cairo objects the renderer keeps.
#pragma once

#include <cairo.h>

#include <memory>

namespace devhost {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};

using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextHandle = std::unique_ptr<cairo_t, ContextRelease>;

// A new ARGB32 (premultiplied) image surface, cleared; never null (a Cairo
// surface in an error state draws nothing).
inline SurfaceHandle newImage(int width, int height)
{
    return SurfaceHandle(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
}

inline ContextHandle newContext(cairo_surface_t* surface)
{
    return ContextHandle(cairo_create(surface));
}

// A surface on pixels the caller allocated with malloc and filled; the
// surface frees them. Nothing is zeroed, which is what a picture that is
// wholly written anyway would pay for in cairo_image_surface_create.
SurfaceHandle imageOwning(unsigned char* data, cairo_format_t format, int width, int height, int stride);

// An image whose every pixel the caller is about to write.
SurfaceHandle uninitialisedImage(cairo_format_t format, int width, int height);

// Gives back what Cairo and fontconfig keep for the whole process (font
// caches, the toy font faces), so that a leak checker sees only real leaks.
// Call it last, when no surface, context or font of Cairo is left.
void releaseDrawingCaches();

}  // namespace devhost
