// The module's declared resources: resource_table.h, which the build
// generates from resources/resource_numbers.cmake, so that the tests check
// what the build was asked to embed, at the sizes it was asked to draw.
#pragma once

#include <map>
#include <set>

#include "resource_table.h"

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

inline const std::map<int, Size> expectedSizes = [] {
    std::map<int, Size> sizes;
    for (const DeclaredBitmap& b : declaredBitmaps)
        sizes[b.number] = {b.width, b.height};
    return sizes;
}();

inline const std::set<int> declaredBitmapNumbers = [] {
    std::set<int> numbers;
    for (const DeclaredBitmap& b : declaredBitmaps)
        numbers.insert(b.number);
    return numbers;
}();

inline const std::set<int> declaredWaveNumbers(std::begin(declaredWaves), std::end(declaredWaves));
