// The bitmaps and clips compiled into Vardex_Instr.gau by windres, as the
// Windows resource functions find them: by type and number.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "tests/assets/module_resources.h"
#include "tests/build/objdump.h"
#include "tests/resource_numbers.h"

namespace {

constexpr unsigned BitmapType = 2;  // the Windows BITMAP resource type

// type ("WAVE", or the number of a predefined type) → number → size in bytes,
// from objdump's reading of the resource directory.
using ResourceDirectory = std::map<std::string, std::map<unsigned, unsigned>>;

ResourceDirectory gauResources()
{
    std::string out = objdump(VARDEX_GAU_PATH);
    ResourceDirectory directory;
    auto start = out.find("The .rsrc Resource Directory section:");
    if (start == std::string::npos)
        return directory;
    std::istringstream lines(out.substr(start));
    // The dump is depth first: a type entry, its numbered entries, each
    // followed by its language entry and leaf.
    const std::regex typeEntry(R"(^\w+   Entry: (?:name: \[[^\]]*\]: (\w+)|ID: 0x([0-9a-f]+)))");
    const std::regex numberEntry(R"(^\w+     Entry: ID: 0x([0-9a-f]+))");
    const std::regex leaf(R"(Leaf: Addr: 0x[0-9a-f]+, Size: 0x([0-9a-f]+))");
    std::string type;
    unsigned number = 0;
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, m, typeEntry))
            type = m[1].matched ? m[1].str() : std::to_string(std::stoul(m[2], nullptr, 16));
        else if (std::regex_search(line, m, numberEntry))
            number = static_cast<unsigned>(std::stoul(m[1], nullptr, 16));
        else if (std::regex_search(line, m, leaf))
            directory[type][number] = static_cast<unsigned>(std::stoul(m[1], nullptr, 16));
    }
    return directory;
}

TEST(GauResources, CarryBothClipsWhole)
{
    auto directory = gauResources();
    ASSERT_TRUE(directory.count("WAVE")) << "no WAVE resources";
    // The RIFF/WAVE files as written: 44 bytes of headers and the samples.
    EXPECT_EQ(directory["WAVE"][10], 44u + 3828u);
    EXPECT_EQ(directory["WAVE"][30], 44u + 6014u);
}

TEST(GauResources, CarryEveryDeclaredBitmapAsTheNativeModuleDoes)
{
    auto directory = gauResources();
    auto& bitmaps = directory[std::to_string(BitmapType)];
    ModuleResources module;
    ASSERT_TRUE(module.loaded());
    for (int number : declaredBitmapNumbers) {
        auto n = static_cast<unsigned>(number);
        ASSERT_TRUE(bitmaps.count(n)) << "bitmap " << n << " missing";
        // windres keeps the bitmap without its 14-byte file header: the
        // same info header and pixel rows as the native module's copy.
        auto native = module.get("BITMAP", n);
        ASSERT_GT(native.size(), 54u) << "bitmap " << n;
        EXPECT_EQ(bitmaps[n], native.size() - 14) << "bitmap " << n;
    }
}

}  // namespace
