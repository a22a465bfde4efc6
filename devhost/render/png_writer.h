// Pictures as PNG: files, and pieces of a picture as bytes (the live
// panel's tiles).
#pragma once

#include <cairo.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "framework/gauge_model.h"

namespace devhost {

// Fast: zlib's quickest level and one cheap filter for every row, for
// pictures looked at and thrown away; Small: zlib's strongest level and the
// best of five filters for each row, for pictures kept.
enum class PngCompression { Fast, Small };

// A Cairo ARGB32 pixel (native-endian 0xAARRGGBB, its colour premultiplied
// by its alpha) with its colour straight, rounded as Cairo's own PNG writer
// rounds it; no colour where there is no alpha.
constexpr uint32_t straightArgb(uint32_t pixel)
{
    const uint32_t alpha = pixel >> 24;
    if (alpha == 0xFF || alpha == 0)
        return alpha ? pixel : 0;
    auto straight = [alpha](uint32_t c) { return ((c & 0xFF) * 0xFF + alpha / 2) / alpha; };
    return (pixel & 0xFF000000) | straight(pixel >> 16) << 16 | straight(pixel >> 8) << 8 | straight(pixel);
}

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
