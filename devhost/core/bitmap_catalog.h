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

// Width and height from a BMP file's headers; nothing for anything else.
std::optional<Point> bmpSize(std::span<const unsigned char> bytes);

class BitmapCatalog {
public:
    // Reads through the module's exported resource accessor when it has one;
    // without it every size is unknown.
    explicit BitmapCatalog(const ModuleFile& module);

    std::optional<Point> size(int32_t bitmap) const;

    // The bitmap's file bytes (a BMP) as the module carries them; empty when
    // it has no such bitmap. They live as long as the module stays loaded.
    std::span<const unsigned char> bytes(int32_t bitmap) const;

private:
    using Accessor = const unsigned char* (*)(const char* type, uint32_t number, size_t* size);
    Accessor accessor_ = nullptr;
    mutable std::map<int32_t, std::optional<Point>> cache_;
};

}  // namespace devhost
