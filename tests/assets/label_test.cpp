// The faces' texts stay readable wherever the needles point: no needle's hub
// lies over a text of a face drawn under it. The hub is the part of the
// needle about its pivot that sweeps a whole circle as the needle turns.
// The generator tells where it wrote each text.
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "framework/gauge_model.h"

namespace {

namespace fs = std::filesystem;

struct Label {
    double x0, y0, x1, y1;
    std::string text;
};

struct Drawn {
    std::map<int, Point> sizes;
    std::map<int, std::vector<Label>> labels;
};

Drawn drawnLabels()
{
    const fs::path folder = fs::temp_directory_path() / ("vardex_labels_" + std::to_string(::getpid()));
    const std::string command = std::string("'") + VARDEX_ASSETGEN + "' '" + folder.string() + "' '" +
                                VARDEX_DEFINITIONS_MODULE + "' --labels '" + (folder / "labels.txt").string() +
                                "' > /dev/null";
    Drawn drawn;
    if (std::system(command.c_str()) != 0)
        return drawn;
    std::ifstream in(folder / "labels.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string kind;
        int bitmap = 0;
        words >> kind >> bitmap;
        if (kind == "bitmap") {
            words >> drawn.sizes[bitmap].x >> drawn.sizes[bitmap].y;
        } else {
            Label label;
            words >> label.x0 >> label.y0 >> label.x1 >> label.y1 >> std::ws;
            std::getline(words, label.text);
            drawn.labels[bitmap].push_back(label);
        }
    }
    fs::remove_all(folder);
    return drawn;
}

TEST(FaceLabels, NoNeedleHubLiesOverATextOfTheFacesUnderIt)
{
    const Drawn drawn = drawnLabels();
    ASSERT_FALSE(drawn.labels.empty()) << "the generator listed no label";
    void* module = dlopen(VARDEX_DEFINITIONS_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto* linkage = static_cast<const LinkageRecord*>(dlsym(module, "Linkage"));
    ASSERT_NE(linkage, nullptr);
    int needles = 0;
    for (GaugeDefinition* const* gauge = linkage->gauges; *gauge; ++gauge) {
        std::vector<const GaugeElement*> below;  // every gauge is one chain of elements
        for (GaugeElement** at = (*gauge)->elements; at && *at; at = (*at)->children) {
            const GaugeElement& element = **at;
            const Point size = drawn.sizes.contains(element.bitmap) ? drawn.sizes.at(element.bitmap) : Point{};
            // Needles are long and thin; knobs and scale discs, turned as needles too, are not.
            if (element.kind == Needle && size.x >= 3 * size.y) {
                ++needles;
                // A counterweighted needle sweeps its tail round the pivot; a
                // pointer with two ends, only its cap, its widest part.
                const double tail = element.offset.x, pointer = size.x - tail;
                const double hubRadius = tail < pointer / 2 ? tail : size.y / 2.0;
                const Point pivot = element.position;
                for (const GaugeElement* face : below) {
                    if (!drawn.labels.contains(face->bitmap))
                        continue;
                    for (const Label& l : drawn.labels.at(face->bitmap)) {
                        const double x0 = l.x0 + face->position.x, x1 = l.x1 + face->position.x;
                        const double y0 = l.y0 + face->position.y, y1 = l.y1 + face->position.y;
                        const double dx = std::clamp<double>(pivot.x, x0, x1) - pivot.x;
                        const double dy = std::clamp<double>(pivot.y, y0, y1) - pivot.y;
                        EXPECT_GE(std::hypot(dx, dy), hubRadius)
                            << (*gauge)->name << ": the hub of needle " << element.bitmap << " (radius " << hubRadius
                            << " about " << pivot.x << "," << pivot.y << ") lies over \"" << l.text << "\" of bitmap "
                            << face->bitmap;
                    }
                }
            }
            below.push_back(&element);
        }
    }
    EXPECT_GT(needles, 20);
}

}  // namespace
