// Pictures written as PNG files.
#pragma once

#include <cairo.h>

#include <filesystem>

namespace devhost {

// Fast: zlib's quickest level, for pictures looked at and thrown away;
// Small: its strongest, for pictures kept.
enum class PngCompression { Fast, Small };

// Writes a surface as PNG; throws std::runtime_error naming the file.
void writePng(cairo_surface_t* surface, const std::filesystem::path& path,
              PngCompression compression = PngCompression::Fast);

}  // namespace devhost
