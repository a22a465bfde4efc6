// Every numbered bitmap: its number, size and how it is drawn.
#pragma once

#include <cairo.h>

#include <functional>
#include <vector>

#include "tools/assetgen/layout.h"

namespace assetgen {

// Draws one bitmap on a transparent canvas of its size.
using Draw = std::function<void(cairo_t*, const Layout&)>;

struct BitmapRecipe {
    int number;
    int width;
    int height;
    Draw draw;
};

class Recipes {
public:
    void add(int number, int width, int height, Draw draw)
    {
        list_.push_back({number, width, height, std::move(draw)});
    }
    std::vector<BitmapRecipe>& list() { return list_; }

private:
    std::vector<BitmapRecipe> list_;
};

void addFlightInstruments(Recipes& out);
void addEngineInstruments(Recipes& out);
void addRadios(Recipes& out);
void addPanelPieces(Recipes& out);

// All of them, in number order.
std::vector<BitmapRecipe> allRecipes();

}  // namespace assetgen
