// The module's bitmaps as the host loads them: every number that any
// element names is in the module, as a 24-bit bitmap of the size its
// element is drawn for.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "framework/gauge_model.h"
#include "tests/assets/module_resources.h"
#include "tests/resource_numbers.h"

namespace {

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

// The size each bitmap is drawn for: faces and plates, needles with their
// hubs, discs and their windows, tapes and counter strips, icon frames.
const std::map<int, Size> expectedSizes = {
    {40, {5, 5}},       {50, {150, 25}},    {60, {19, 19}},     {70, {12, 12}},     {80, {19, 19}},
    {100, {19, 19}},    {110, {19, 19}},    {120, {19, 19}},    {130, {19, 19}},    {140, {19, 19}},
    {150, {19, 19}},    {160, {19, 19}},    {230, {96, 44}},    {240, {96, 44}},    {241, {96, 44}},
    {250, {300, 300}},  {260, {264, 264}},  {261, {264, 264}},  {270, {300, 300}},  {280, {212, 166}},
    {290, {300, 330}},  {300, {160, 56}},   {310, {300, 330}},  {320, {300, 330}},  {330, {150, 150}},
    {340, {160, 56}},   {350, {840, 40}},   {351, {40, 40}},    {360, {775, 34}},   {361, {56, 34}},
    {370, {300, 300}},  {380, {220, 220}},  {381, {45, 54}},    {390, {300, 330}},  {400, {149, 26}},
    {410, {103, 28}},   {420, {82, 12}},    {430, {300, 330}},  {440, {300, 300}},  {450, {208, 28}},
    {460, {20, 25}},    {470, {27, 30}},    {480, {300, 300}},  {1000, {304, 304}}, {1010, {256, 256}},
    {1011, {168, 145}}, {1020, {70, 14}},   {1030, {206, 196}}, {1040, {304, 304}}, {1050, {37, 50}},
    {1060, {14, 17}},   {1070, {304, 304}}, {1080, {123, 257}}, {1090, {123, 257}}, {1100, {300, 330}},
    {1110, {143, 30}},  {1120, {300, 330}}, {1130, {300, 330}}, {1140, {300, 330}}, {1150, {300, 300}},
    {1160, {125, 18}},  {1170, {300, 300}}, {1180, {200, 200}}, {1190, {127, 8}},   {1200, {200, 200}},
    {1210, {200, 200}}, {1220, {92, 18}},   {1230, {200, 200}}, {1240, {200, 200}}, {1250, {94, 16}},
    {1260, {200, 200}}, {1270, {200, 200}}, {1280, {94, 16}},   {1290, {200, 200}}, {1300, {600, 492}},
    {1310, {124, 124}}, {1320, {172, 172}}, {1330, {124, 124}}, {1331, {124, 124}}, {1340, {19, 19}},
    {1350, {118, 118}}, {1351, {118, 118}}, {1360, {132, 103}}, {1361, {132, 103}}, {1362, {132, 103}},
    {1363, {132, 103}}, {1370, {350, 350}}, {1380, {600, 492}}, {1390, {200, 200}}, {1400, {104, 6}},
    {1410, {200, 200}}, {1420, {200, 200}}, {1430, {100, 8}},   {1440, {200, 200}}, {2000, {280, 364}},
    {2010, {100, 16}},  {2020, {29, 13}},   {2030, {100, 14}},  {2040, {80, 12}},   {2050, {280, 364}},
    {2060, {234, 234}}, {2061, {234, 234}}, {2070, {300, 300}}, {2080, {220, 22}},  {2090, {300, 300}},
    {2100, {300, 300}}, {2110, {224, 13}},  {2120, {300, 300}}, {2170, {400, 255}}, {2180, {18, 198}},
    {2181, {18, 18}},   {2190, {50, 50}},   {2191, {50, 50}},   {2200, {19, 19}},   {2210, {50, 50}},
    {2211, {50, 50}},   {2220, {50, 50}},   {2230, {350, 360}}, {2240, {336, 336}}, {2241, {45, 24}},
    {2250, {300, 300}}, {2251, {45, 26}},   {2260, {174, 174}}, {2261, {174, 174}}, {2270, {80, 80}},
    {2271, {80, 80}},   {2280, {19, 19}},   {2290, {350, 360}}, {2300, {350, 286}}, {2310, {288, 288}},
    {2311, {37, 18}},   {2320, {256, 256}}, {2321, {37, 19}},   {2330, {170, 170}}, {2331, {170, 170}},
    {2340, {74, 74}},   {2341, {74, 74}},   {2350, {19, 19}},   {2360, {350, 286}}, {2370, {74, 74}},
    {2371, {74, 74}},   {3000, {31, 88}},   {3010, {31, 88}},   {3011, {31, 88}},   {3050, {200, 200}},
    {3060, {98, 8}},    {3070, {107, 8}},   {3080, {200, 200}},
};

// A bitmap resource read as the host reads it, or {0, 0} when it is not a
// plain uncompressed 24-bit bitmap whose pixel rows fit its bytes.
Size bitmapSize(std::span<const unsigned char> bmp)
{
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M')
        return {0, 0};
    auto width = static_cast<int32_t>(readU32(bmp, 18));
    auto height = static_cast<int32_t>(readU32(bmp, 22));
    if (readU16(bmp, 28) != 24 || readU32(bmp, 30) != 0 || width <= 0 || height <= 0)
        return {0, 0};
    size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    if (readU32(bmp, 10) + rowBytes * static_cast<size_t>(height) > bmp.size())
        return {0, 0};
    return {width, height};
}

// Every bitmap number an element of the tree names: an icon's frames, the
// second bitmap of a sprite or moving image.
void namedBitmaps(const GaugeElement* e, std::set<int>& out, int depth = 0)
{
    if (!e || depth > 64)
        return;
    if (e->kind != String)
        out.insert(e->bitmap);
    if (e->kind == Icon) {
        auto frames = reinterpret_cast<const IconElement*>(e)->frames;
        for (uint32_t k = 1; k < frames && k < 16; ++k)
            out.insert(e->bitmap + static_cast<int>(k));
    }
    if (e->kind == Sprite || e->kind == MovingImage)
        out.insert(e->bitmap + 1);
    for (GaugeElement** child = e->children; child && *child; ++child)
        namedBitmaps(*child, out, depth + 1);
}

class ModuleBitmaps : public testing::Test {
protected:
    ModuleResources module;
};

TEST_F(ModuleBitmaps, TheDeclaredNumbersAreExactlyTheDrawnOnes)
{
    std::set<int> declared, drawn;
    auto numbers = declaredResourceNumbers();
    for (unsigned n : numbers["VARDEX_BITMAPS"])
        declared.insert(static_cast<int>(n));
    for (const auto& [n, size] : expectedSizes)
        drawn.insert(n);
    EXPECT_EQ(declared, drawn);
    EXPECT_EQ(declared.size(), 148u);
}

TEST_F(ModuleBitmaps, EveryBitmapIsA24BitImageOfItsSize)
{
    ASSERT_TRUE(module.loaded());
    for (const auto& [n, size] : expectedSizes)
        EXPECT_EQ(bitmapSize(module.get("BITMAP", static_cast<uint32_t>(n))), size) << "bitmap " << n;
}

TEST_F(ModuleBitmaps, EveryBitmapAnElementNamesIsThere)
{
    ASSERT_TRUE(module.loaded());
    void* handle = dlopen(VARDEX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(handle);
    auto* linkage = static_cast<const LinkageRecord*>(dlsym(handle, "Linkage"));
    ASSERT_TRUE(linkage);
    for (size_t g = 0; g < GaugeCount && linkage->gauges[g]; ++g) {
        std::set<int> named;
        for (GaugeElement** root = linkage->gauges[g]->elements; root && *root; ++root)
            namedBitmaps(*root, named);
        for (int n : named) {
            EXPECT_TRUE(expectedSizes.count(n)) << linkage->gauges[g]->name << " names bitmap " << n;
            EXPECT_NE(bitmapSize(module.get("BITMAP", static_cast<uint32_t>(n))), (Size{0, 0}))
                << linkage->gauges[g]->name << " names bitmap " << n;
        }
    }
    dlclose(handle);
}

TEST_F(ModuleBitmaps, EveryToggleIconABCommandCanChooseIsThere)
{
    for (int n = 100; n <= 160; n += 10)
        EXPECT_EQ(bitmapSize(module.get("BITMAP", static_cast<uint32_t>(n))), (Size{19, 19})) << "bitmap " << n;
}

}  // namespace
