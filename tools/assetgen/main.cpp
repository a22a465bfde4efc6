// assetgen: draws the module's bitmaps and synthesises its click clips.
//
//   assetgen OUT_DIR
//
// Writes bmp<N>.bmp and wave<N>.wav into OUT_DIR. Everything is computed
// from fixed recipes, so two runs write the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/assetgen/wave.h"

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen OUT_DIR\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "assetgen: cannot create %s: %s\n", dir.c_str(), error.message().c_str());
        return 1;
    }

    for (const auto& recipe : assetgen::clipRecipes()) {
        auto path = dir / ("wave" + std::to_string(recipe.number) + ".wav");
        if (!writeFile(path, assetgen::waveFile(assetgen::synthesiseClip(recipe)))) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
