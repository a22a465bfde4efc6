#include "tools/assetgen/recipes.h"

#include <algorithm>

namespace assetgen {

Recipes allRecipes()
{
    Recipes all;
    addFlightInstruments(all);
    addEngineInstruments(all);
    addRadios(all);
    addPanelPieces(all);
    std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    return all;
}

}  // namespace assetgen
