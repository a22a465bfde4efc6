// assetgen: draws the module's bitmaps and synthesises its click clips.
//
//   assetgen OUT_DIR [DEFINITIONS_MODULE] [--sheet PNG [--only FROM-TO]] [--labels TXT]
//
// Writes bmp<N>.bmp and wave<N>.wav into OUT_DIR, each only when its bytes
// change. DEFINITIONS_MODULE is a build of the module without resources:
// its Linkage tells where every needle points, so the marks are drawn from
// the module's own tables. --sheet also writes a contact sheet of every
// bitmap, for looking at the artwork while working on it; `devhost render`
// shows the gauges put together from it, needles and all. --labels lists
// every bitmap ("bitmap N WIDTH HEIGHT") and the box of every text drawn on
// it ("label N X0 Y0 X1 Y1 TEXT"), so that a test can tell whether a
// needle's hub lies over a label.
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/contact_sheet.h"
#include "tools/assetgen/declared.h"
#include "tools/assetgen/layout.h"
#include "tools/assetgen/recipes.h"
#include "tools/assetgen/style.h"
#include "tools/assetgen/wave.h"

namespace {

// Writes only when the bytes differ, so that an unchanged bitmap does not
// make the modules relink.
bool writeIfChanged(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), {});
            if (old == bytes)
                return true;
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The definitions module stays loaded for the whole run: the layout points into it.
const LinkageRecord* loadDefinitions(const char* path)
{
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "assetgen: cannot load %s: %s\n", path, dlerror());
        return nullptr;
    }
    auto* linkage = static_cast<const LinkageRecord*>(dlsym(handle, "Linkage"));
    if (!linkage)
        std::fprintf(stderr, "assetgen: %s has no Linkage\n", path);
    return linkage;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string sheet, labelsPath;
    int sheetFrom = 0, sheetTo = 1 << 30;
    for (size_t i = 0; i + 1 < args.size();) {
        if (args[i] == "--sheet")
            sheet = args[i + 1];
        else if (args[i] == "--labels")
            labelsPath = args[i + 1];
        else if (args[i] == "--only")
            std::sscanf(args[i + 1].c_str(), "%d-%d", &sheetFrom, &sheetTo);
        else {
            ++i;
            continue;
        }
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    }
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: assetgen OUT_DIR [DEFINITIONS_MODULE] [--sheet PNG [--only FROM-TO]] [--labels TXT]\n");
        return 2;
    }
    std::filesystem::path dir = args[0];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "assetgen: cannot create %s: %s\n", dir.c_str(), error.message().c_str());
        return 1;
    }
    const LinkageRecord* linkage = nullptr;
    if (args.size() == 2 && !(linkage = loadDefinitions(args[1].c_str())))
        return 1;

    for (const auto& recipe : assetgen::clipRecipes()) {
        auto path = dir / ("wave" + std::to_string(recipe.number) + ".wav");
        if (!writeIfChanged(path, assetgen::waveFile(assetgen::synthesiseClip(recipe)))) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }

    std::string missing = assetgen::missingFonts();
    if (!missing.empty()) {
        std::fprintf(stderr, "assetgen: fonts not installed: %s (Debian: fonts-dejavu-extra, fonts-liberation)\n",
                     missing.c_str());
        return 1;
    }
    assetgen::Layout layout(linkage);
    auto recipes = assetgen::allRecipes();
    std::vector<DeclaredBitmap> drawn;
    for (const auto& recipe : recipes)
        drawn.push_back({recipe.number, recipe.width, recipe.height});
    auto mismatches = assetgen::tableMismatches(drawn, declaredBitmaps);
    for (const auto& problem : mismatches)
        std::fprintf(stderr, "assetgen: %s (resources/resource_numbers.cmake)\n", problem.c_str());
    if (!mismatches.empty())
        return 1;
    assetgen::ContactSheet contact;
    std::string labels;
    for (const auto& recipe : recipes) {
        assetgen::Canvas canvas(recipe.width, recipe.height);
        try {
            recipe.draw(canvas.cr(), layout);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "assetgen: bitmap %d: %s\n", recipe.number, e.what());
            return 1;
        }
        if (cairo_status(canvas.cr()) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "assetgen: bitmap %d: %s\n", recipe.number,
                         cairo_status_to_string(cairo_status(canvas.cr())));
            return 1;
        }
        labels += "bitmap " + std::to_string(recipe.number) + " " + std::to_string(recipe.width) + " " +
                  std::to_string(recipe.height) + "\n";
        for (const auto& box : assetgen::takeLabels()) {
            char line[128];
            std::snprintf(line, sizeof line, "label %d %.1f %.1f %.1f %.1f ", recipe.number, box.x0, box.y0, box.x1,
                          box.y1);
            labels += line + box.text + "\n";
        }
        auto path = dir / ("bmp" + std::to_string(recipe.number) + ".bmp");
        auto bytes = canvas.bmp();
        if (!writeIfChanged(path, bytes)) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
            return 1;
        }
        if (!sheet.empty() && recipe.number >= sheetFrom && recipe.number <= sheetTo)
            contact.add(recipe.number, canvas);
    }
    if (!labelsPath.empty() && !writeIfChanged(labelsPath, std::vector<uint8_t>(labels.begin(), labels.end()))) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", labelsPath.c_str());
        return 1;
    }
    if (!sheet.empty() && !contact.write(sheet)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", sheet.c_str());
        return 1;
    }
    // Give back the caches of the drawing, Cairo and fontconfig, so that a
    // leak checker sees only what the generator itself would lose.
    assetgen::releaseStyle();
    cairo_debug_reset_static_data();
    FcFini();
    if (linkage) {
        auto names = [](const std::set<std::string>& gauges) {
            std::string list;
            for (const auto& g : gauges)
                list += (list.empty() ? "" : ", ") + g;
            return list.empty() ? std::string("none") : list;
        };
        std::printf("assetgen: %zu bitmaps; marks from the module's records of: %s\n", recipes.size(),
                    names(layout.fromModule()).c_str());
    }
    return 0;
}
