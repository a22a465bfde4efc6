// Vardex_Instr.gau as a Windows loader sees it: what objdump reads from its
// PE headers.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>

#include "tests/build/objdump.h"

namespace {

class Gau : public testing::Test {
protected:
    void SetUp() override { headers = objdump(VARDEX_GAU_PATH); }
    std::string headers;
};

TEST_F(Gau, IsA32BitWindowsDll)
{
    EXPECT_NE(headers.find("file format pei-i386"), std::string::npos) << headers.substr(0, 400);
    EXPECT_NE(headers.find("DLL"), std::string::npos);
}

TEST_F(Gau, ExportsExactlyLinkageAndImportTable)
{
    EXPECT_EQ(exportedNames(headers), (std::set<std::string>{"ImportTable", "Linkage"}));
    EXPECT_NE(headers.find("Export Address Table \t\t00000002"), std::string::npos) << "two exports, no more";
}

TEST_F(Gau, ImportsOnlySystemDlls)
{
    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll", "winmm.dll", "dsound.dll",
                                           "msvcrt.dll",   "advapi32.dll"};
    std::regex dll(R"(DLL Name:\s*(\S+))");
    std::set<std::string> imported;
    for (std::sregex_iterator it(headers.begin(), headers.end(), dll), end; it != end; ++it) {
        std::string name = (*it)[1];
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        imported.insert(name);
    }
    EXPECT_FALSE(imported.empty());
    for (const std::string& name : imported)
        EXPECT_TRUE(allowed.count(name)) << name << " is not a system DLL";
    EXPECT_TRUE(imported.count("kernel32.dll"));
}

}  // namespace
