// Pieces of a panel window's picture as the page receives them: PNG at a
// fast compression level (the pieces are small and sent eighteen times a
// second, so time spent squeezing them costs more than the bytes saved),
// carried as they are in the change feed's frames.
#pragma once

#include <cairo.h>
#include <zlib.h>

#include <string>

#include "framework/gauge_model.h"

namespace devhost {

// zlib levels: the one the feed uses, and the library's default (for the
// benchmark that compares the two).
inline constexpr int FastPngLevel = Z_BEST_SPEED;
inline constexpr int DefaultPngLevel = 6;

// The area (inside the surface) of an RGB24 or ARGB32 surface as an RGB PNG.
std::string encodePng(cairo_surface_t* surface, Box area, int level = FastPngLevel);

}  // namespace devhost
