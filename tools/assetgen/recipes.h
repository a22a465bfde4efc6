// Every numbered bitmap: its number, size and how it is drawn.
#pragma once

#include <cairo.h>

#include <functional>
#include <vector>

#include "tools/assetgen/layout.h"

namespace assetgen {

struct BitmapRecipe {
    int number;
    int width;
    int height;
    std::function<void(cairo_t*, const Layout&)> draw;  // draws on a transparent canvas of that size
};

using Recipes = std::vector<BitmapRecipe>;

void addFlightInstruments(Recipes& out);
void addEngineInstruments(Recipes& out);
void addRadios(Recipes& out);
void addPanelPieces(Recipes& out);

// All of them, in number order.
Recipes allRecipes();

}  // namespace assetgen
