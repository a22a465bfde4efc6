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

// The faces a command button's b command may choose.
constexpr int FirstButtonFace = 100, LastButtonFace = 160, ButtonFaceStep = 10;

class ModuleBitmaps : public testing::Test {
protected:
    ModuleResources module;
};

TEST_F(ModuleBitmaps, EveryBitmapIsA24BitImageOfItsSize)
{
    ASSERT_TRUE(module.loaded());
    for (const auto& [n, size] : expectedSizes)
        EXPECT_EQ(bitmapSize(module.get("BITMAP", static_cast<uint32_t>(n))), size) << "bitmap " << n;
}

// The numbers file lists no bitmap that no gauge draws: each number is named
// by an element (or is a face a command button's b command may choose).
TEST_F(ModuleBitmaps, EveryBitmapAnElementNamesIsThereAndNoOther)
{
    ASSERT_TRUE(module.loaded());
    void* handle = dlopen(VARDEX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_TRUE(handle);
    auto* linkage = static_cast<const LinkageRecord*>(dlsym(handle, "Linkage"));
    ASSERT_TRUE(linkage);
    std::set<int> everyNamed;
    for (int n = FirstButtonFace; n <= LastButtonFace; n += ButtonFaceStep)
        everyNamed.insert(n);
    for (size_t g = 0; g < GaugeCount && linkage->gauges[g]; ++g) {
        std::set<int> named;
        for (GaugeElement** root = linkage->gauges[g]->elements; root && *root; ++root)
            namedBitmaps(*root, named);
        for (int n : named) {
            EXPECT_TRUE(expectedSizes.count(n)) << linkage->gauges[g]->name << " names bitmap " << n;
            EXPECT_NE(bitmapSize(module.get("BITMAP", static_cast<uint32_t>(n))), (Size{0, 0}))
                << linkage->gauges[g]->name << " names bitmap " << n;
        }
        everyNamed.insert(named.begin(), named.end());
    }
    dlclose(handle);
    EXPECT_EQ(everyNamed, declaredBitmapNumbers);
}

TEST_F(ModuleBitmaps, EveryToggleIconABCommandCanChooseIsThere)
{
    for (int n = FirstButtonFace; n <= LastButtonFace; n += ButtonFaceStep)
        EXPECT_EQ(bitmapSize(module.get("BITMAP", static_cast<uint32_t>(n))), (Size{19, 19})) << "bitmap " << n;
}

}  // namespace
