// The release package as a simmer unpacks it: what it holds, the gauge file
// in it (the tested one, stripped, exporting the two records, with the
// project's version), and a guide that names every gauge of the module.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "tests/build/objdump.h"

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReleasePackage : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // One folder per process: ctest runs the cases side by side.
        folder = fs::temp_directory_path() / ("vardex_package_test_" + std::to_string(getpid()));
        fs::create_directories(folder);
        const std::string command = "cd '" + folder.string() + "' && '" VARDEX_CMAKE "' -E tar xf '" VARDEX_PACKAGE "'";
        unpacked = fs::exists(VARDEX_PACKAGE) && std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite() { fs::remove_all(folder); }

    void SetUp() override
    {
        ASSERT_TRUE(unpacked) << VARDEX_PACKAGE << " cannot be unpacked; it is made by "
                              << "cmake --build build --target package";
    }

    static inline fs::path folder;
    static inline bool unpacked = false;
};

TEST_F(ReleasePackage, HoldsTheGaugeFileTheExamplePanelTheGuideAndAReferenceFolder)
{
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), folder).generic_string());
    std::set<std::string> expected{"Gauges/Vardex_Instr.gau", "Panel/panel.cfg", "Installation.txt",
                                   "Installation.html"};
    for (const std::string& file : files)
        if (file.starts_with("Reference/"))
            expected.insert(file);  // whatever reference was generated goes along
    EXPECT_EQ(files, expected);
    EXPECT_TRUE(fs::is_directory(folder / "Reference"));
    std::string panel = contents(folder / "Panel/panel.cfg");
    std::erase(panel, '\r');
    EXPECT_EQ(panel, contents(VARDEX_SOURCE_DIR "/examples/default_panel.cfg"));
}

// The era's Notepad shows a file with bare LF line ends as one line.
TEST_F(ReleasePackage, EveryTextFileHasCrlfLineEnds)
{
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension == ".gau" || extension == ".png" || extension == ".webp")
            continue;
        const std::string text = contents(entry.path());
        size_t bareLf = std::string::npos;
        for (size_t at = text.find('\n'); at != std::string::npos && bareLf == std::string::npos;
             at = text.find('\n', at + 1))
            if (at == 0 || text[at - 1] != '\r')
                bareLf = at;
        EXPECT_EQ(bareLf, std::string::npos) << entry.path() << " has a bare LF at byte " << bareLf;
    }
}

TEST_F(ReleasePackage, TheGuideAndTheReferenceLinkToEachOther)
{
    EXPECT_NE(contents(folder / "Installation.html").find("href=\"Reference/index.html\""), std::string::npos);
    EXPECT_NE(contents(folder / "Reference/index.html").find("href=\"../Installation.html\""), std::string::npos);
}

TEST_F(ReleasePackage, ItsGaugeFileIsTheTestedOneStrippedWithTwoExportsAndTheVersion)
{
    const fs::path gau = folder / "Gauges/Vardex_Instr.gau";
    const std::string bytes = contents(gau);
    EXPECT_TRUE(bytes == contents(VARDEX_GAU_PATH)) << "not the .gau the Windows tests ran against";

    EXPECT_EQ(objdump(gau.c_str(), "-h").find(".debug"), std::string::npos) << "debug sections left in";
    EXPECT_EQ(exportedNames(objdump(gau.c_str())), (std::set<std::string>{"ImportTable", "Linkage"}));

    // The version resource's fixed part: its signature, the structure's
    // version, then the file version as major.minor and patch.build words.
    const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};
    const size_t at = bytes.find(std::string(signature, sizeof signature));
    ASSERT_NE(at, std::string::npos) << "no version resource";
    ASSERT_LE(at + 16, bytes.size());
    uint32_t high = 0, low = 0;
    std::memcpy(&high, bytes.data() + at + 8, 4);
    std::memcpy(&low, bytes.data() + at + 12, 4);
    EXPECT_EQ(std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." + std::to_string(low >> 16),
              VARDEX_VERSION);
    // And the version as the file's properties show it, in UTF-16.
    std::string shown;
    for (char c : std::string("FileVersion") + '\0' + '\0' + VARDEX_VERSION)
        shown += std::string{c, '\0'};
    EXPECT_NE(bytes.find(shown), std::string::npos) << "no FileVersion text " << VARDEX_VERSION;
}

TEST_F(ReleasePackage, TheGuideNamesEveryGaugeOfTheModuleInBothForms)
{
    const std::string text = contents(folder / "Installation.txt");
    const std::string html = contents(folder / "Installation.html");
    EXPECT_NE(text.find(VARDEX_VERSION), std::string::npos);
    devhost::Host host(devhost::moduleUnderTest());
    ASSERT_EQ(host.gaugeList().size(), 41u);
    for (const devhost::GaugeInfo& gauge : host.gaugeList()) {
        EXPECT_NE(text.find(gauge.name), std::string::npos) << gauge.name << " missing from the text guide";
        EXPECT_NE(html.find("<code>" + gauge.name + "</code>"), std::string::npos)
            << gauge.name << " missing from the HTML guide";
    }
}

}  // namespace
