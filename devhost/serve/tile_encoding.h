// Pieces of a panel window's picture as the page receives them: PNG at a
// fast compression level (the pieces are small and sent eighteen times a
// second, so time spent squeezing them costs more than the bytes saved),
// carried as they are in the change feed's frames.
#pragma once

#include <cairo.h>

#include <string>

#include "framework/gauge_model.h"

namespace devhost {

// Compression levels: the one the feed uses, and the usual default (for the
// benchmark that compares the two).
inline constexpr int FastPngLevel = 1;
inline constexpr int DefaultPngLevel = 6;

// The area (inside the surface) of an RGB24 or ARGB32 surface as an RGB PNG
// (alpha dropped); throws std::runtime_error or std::out_of_range saying
// what is wrong with the surface or the area.
std::string encodePng(cairo_surface_t* surface, Box area, int level = FastPngLevel);

}  // namespace devhost
