// Vardex_Instr.gau mapped twice by the Windows loader: a host (and the
// development host's private copies) may load the file more than once, and
// a second image lands at another base, where only the file's relocations
// make the records' references point into the right image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/gauge_model.h"
#include "installed_file.h"

namespace {

std::string temporaryCopyOf(const std::string& path)
{
    char folder[MAX_PATH + 1];
    char name[MAX_PATH + 1];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "gau", 0, name))
        return {};
    return CopyFileA(path.c_str(), name, FALSE) ? name : std::string{};
}

class Win32Loader : public testing::Test {
protected:
    void SetUp() override
    {
        copyPath = temporaryCopyOf(wintest::gauPath());
        ASSERT_FALSE(copyPath.empty()) << "no temporary copy: Windows error " << GetLastError();
    }
    void TearDown() override
    {
        if (!copyPath.empty())
            DeleteFileA(copyPath.c_str());
    }

    std::string copyPath;
};

// Every reference the host follows from the linkage record, inside one image.
void expectRecordsWithin(const wintest::LoadedFile& file)
{
    auto linkage = file.record<LinkageRecord>("Linkage");
    ASSERT_NE(linkage, nullptr);
    EXPECT_TRUE(file.contains(reinterpret_cast<const void*>(linkage->init)));
    EXPECT_TRUE(file.contains(reinterpret_cast<const void*>(linkage->shutdown)));
    for (GaugeDefinition* const* g = linkage->gauges; *g; ++g) {
        SCOPED_TRACE((*g)->name);
        EXPECT_TRUE(file.contains(*g));
        EXPECT_TRUE(file.contains((*g)->name));
        EXPECT_TRUE(file.contains((*g)->elements[0]));
        EXPECT_EQ((*g)->elements[0]->gauge, *g);
        EXPECT_TRUE(file.contains((*g)->mouseAreas));
        if ((*g)->callback) {
            EXPECT_TRUE(file.contains(reinterpret_cast<const void*>((*g)->callback)));
        }
    }
}

TEST_F(Win32Loader, ACopyLoadsBesideTheInstalledFileWithItsOwnRecords)
{
    wintest::LoadedFile installed(wintest::gauPath());
    wintest::LoadedFile copy(copyPath);
    ASSERT_NE(installed.handle(), nullptr) << "LoadLibrary error " << installed.error();
    ASSERT_NE(copy.handle(), nullptr) << "LoadLibrary error " << copy.error();
    ASSERT_NE(installed.handle(), copy.handle()) << "two files, two images";

    expectRecordsWithin(installed);
    expectRecordsWithin(copy);

    // What the host writes into one image stays in that image.
    auto installedImports = installed.record<ImportTableRecord>("ImportTable");
    auto copyImports = copy.record<ImportTableRecord>("ImportTable");
    ASSERT_NE(installedImports, nullptr);
    ASSERT_NE(copyImports, nullptr);
    HostServices services{};
    copyImports->services.services = &services;
    EXPECT_EQ(installedImports->services.services, nullptr);
    copyImports->services.services = nullptr;
}

TEST_F(Win32Loader, LoadingTheSameFileAgainSharesTheImage)
{
    wintest::LoadedFile first(wintest::gauPath());
    wintest::LoadedFile second(wintest::gauPath());
    ASSERT_NE(first.handle(), nullptr) << "LoadLibrary error " << first.error();
    EXPECT_EQ(first.handle(), second.handle());
}

TEST_F(Win32Loader, ExportsCarryNoDecoration)
{
    wintest::LoadedFile gau(wintest::gauPath());
    ASSERT_NE(gau.handle(), nullptr) << "LoadLibrary error " << gau.error();
    EXPECT_NE(GetProcAddress(gau.handle(), "Linkage"), nullptr);
    EXPECT_NE(GetProcAddress(gau.handle(), "ImportTable"), nullptr);
    EXPECT_EQ(GetProcAddress(gau.handle(), "_Linkage"), nullptr);
    EXPECT_EQ(GetProcAddress(gau.handle(), "DllMain@12"), nullptr);
    EXPECT_EQ(GetProcAddress(gau.handle(), MAKEINTRESOURCEA(3)), nullptr) << "two exports, no third";
}

}  // namespace
