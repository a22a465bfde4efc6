// Pictures as PNG: files, and pieces of a picture as bytes (the live
// panel's tiles).
#pragma once

#include <cairo.h>
#include <zlib.h>

#include <filesystem>
#include <string>

#include "framework/gauge_model.h"

namespace devhost {

// Fast: zlib's quickest level and one cheap filter for every row, for
// pictures looked at and thrown away; Small: zlib's strongest level and the
// best of five filters for each row, for pictures kept.
enum class PngCompression { Fast, Small };

// Writes a surface as PNG; throws std::runtime_error naming the file.
void writePng(cairo_surface_t* surface, const std::filesystem::path& path,
              PngCompression compression = PngCompression::Fast);

// How pngBytes encodes: the zlib level; whether an ARGB32 surface keeps its
// alpha (as straight-alpha RGBA) or is written as RGB; and whether each row
// takes one cheap filter rather than the best of five (for pieces sent many
// times a second).
struct PngEncoding {
    int level = Z_BEST_SPEED;
    bool keepAlpha = true;
    bool quickFilter = false;
};

// Throws std::runtime_error unless the surface is a drawn 32-bit image, and
// std::out_of_range unless the area lies inside it; flushes its drawing.
void checkPngSource(cairo_surface_t* surface, Box area);

// The area (inside it) of a 32-bit surface as PNG bytes; throws
// std::runtime_error saying what failed.
std::string pngBytes(cairo_surface_t* surface, Box area, PngEncoding encoding);

}  // namespace devhost
