// The asset generator as the build runs it: the same recipes give the same
// bytes on every run, and the files it writes are the ones the build embeds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/assets/module_resources.h"

namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int runGenerator(const fs::path& out)
{
    std::string command = std::string("'") + VARDEX_ASSETGEN + "' '" + out.string() + "' '" +
                          VARDEX_DEFINITIONS_MODULE + "' > /dev/null";
    return std::system(command.c_str());
}

TEST(AssetGenerator, DrawsTheSameBytesOnEveryRun)
{
    fs::path base = fs::temp_directory_path() / ("vardex_assets_" + std::to_string(::getpid()));
    ASSERT_EQ(runGenerator(base / "first"), 0);
    ASSERT_EQ(runGenerator(base / "second"), 0);
    ModuleResources module;
    ASSERT_TRUE(module.loaded());
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(base / "first")) {
        auto first = readFile(entry.path());
        EXPECT_EQ(first, readFile(base / "second" / entry.path().filename())) << entry.path().filename();
        // And what the module carries is what the generator draws.
        std::string name = entry.path().stem().string();
        bool wave = name.rfind("wave", 0) == 0;
        auto number = static_cast<uint32_t>(std::stoul(name.substr(wave ? 4 : 3)));
        auto embedded = module.get(wave ? "WAVE" : "BITMAP", number);
        EXPECT_TRUE(std::equal(first.begin(), first.end(), embedded.begin(), embedded.end())) << name;
        ++files;
    }
    EXPECT_EQ(files, 148u + 2u);
    fs::remove_all(base);
}

}  // namespace
