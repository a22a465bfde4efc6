// The pixel sizes of the module's bitmaps, read from the module's own
// resources: the size of a gauge's root bitmap is the gauge's pixel grid,
// to which clicks on a placed gauge are scaled.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>

#include "framework/gauge_model.h"

namespace devhost {

class ModuleFile;

// Width and height from a BMP file's headers, or from a bitmap resource's
// (the same without the 14-byte file header); nothing for anything else.
std::optional<Point> bmpSize(std::span<const unsigned char> bytes);

class BitmapCatalog {
public:
    // Reads the module's bitmap resources; a module without them leaves
    // every size unknown.
    explicit BitmapCatalog(const ModuleFile& module);

    std::optional<Point> size(int32_t bitmap) const;

    // The bitmap's bytes as the module carries them (natively a whole BMP
    // file, in the .gau without its file header); empty when it has no such
    // bitmap. They live as long as the module stays loaded.
    std::span<const unsigned char> bytes(int32_t bitmap) const;

private:
    const ModuleFile& module_;
    mutable std::map<int32_t, std::optional<Point>> cache_;
};

}  // namespace devhost
