// A debugging aid: every bitmap on one PNG, as the host would show it
// (pure black transparent) over a mid-grey panel, with its number.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace assetgen {

class ContactSheet {
public:
    void add(int number, const Canvas& canvas);
    bool write(const std::string& path) const;

private:
    struct Tile {
        int number;
        int width, height;
        std::vector<uint8_t> bmp;
    };
    std::vector<Tile> tiles_;
};

}  // namespace assetgen
