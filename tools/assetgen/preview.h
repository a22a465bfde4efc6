// A debugging aid: a few gauges put together from their bitmaps the way the
// host draws them (needles turned to a value, discs turned behind their
// windows, tapes moved), to check by eye that every mark meets its needle.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/assetgen/layout.h"

namespace assetgen {

// bitmap number → encoded 24-bit BMP
using BitmapFiles = std::map<int, std::vector<uint8_t>>;

bool writePreview(const std::string& path, const BitmapFiles& bitmaps, const Layout& layout);

}  // namespace assetgen
