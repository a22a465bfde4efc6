#include "tools/assetgen/recipes.h"

#include <algorithm>

namespace assetgen {

std::vector<BitmapRecipe> allRecipes()
{
    Recipes recipes;
    addFlightInstruments(recipes);
    addEngineInstruments(recipes);
    addRadios(recipes);
    addPanelPieces(recipes);
    auto all = std::move(recipes.list());
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    return all;
}

}  // namespace assetgen
