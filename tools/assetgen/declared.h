// The recipes held against the bitmap table of resources/resource_numbers.cmake,
// so that the generator cannot draw a bitmap the build does not pack, leave
// out one it does, or draw one at another size than the gauges are laid out for.
#pragma once

#include <map>
#include <span>
#include <string>
#include <vector>

#include "resource_table.h"

namespace assetgen {

// One line per disagreement between what the recipes draw and the table,
// naming the bitmap and both sizes; empty when they are exactly the table.
inline std::vector<std::string> tableMismatches(std::span<const DeclaredBitmap> drawn,
                                                std::span<const DeclaredBitmap> table)
{
    std::map<int, const DeclaredBitmap*> declared;
    for (const DeclaredBitmap& b : table)
        declared[b.number] = &b;
    auto size = [](int width, int height) { return std::to_string(width) + "x" + std::to_string(height); };
    std::vector<std::string> problems;
    for (const DeclaredBitmap& r : drawn) {
        auto found = declared.find(r.number);
        if (found == declared.end()) {
            problems.push_back("bitmap " + std::to_string(r.number) + " has a recipe but is not in the table");
            continue;
        }
        const DeclaredBitmap& b = *found->second;
        if (b.width != r.width || b.height != r.height)
            problems.push_back("bitmap " + std::to_string(r.number) + " is drawn " + size(r.width, r.height) +
                               " but declared " + size(b.width, b.height));
        declared.erase(found);
    }
    for (const auto& [number, b] : declared)
        problems.push_back("bitmap " + std::to_string(number) + " is declared but has no recipe");
    return problems;
}

}  // namespace assetgen
