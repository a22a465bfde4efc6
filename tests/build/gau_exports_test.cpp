// Vardex_Instr.gau as a Windows loader sees it: what objdump reads from its
// PE headers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

std::string objdump(const char* path)
{
    std::string command = std::string("i686-w64-mingw32-objdump -p '") + path + "' 2>&1";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

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

// The machine field of the file header, read from the file's own bytes: the
// host is a 32-bit x86 process and loads nothing else.
TEST(GauHeader, IsBuiltForThe386)
{
    std::ifstream file(VARDEX_GAU_PATH, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto word = [&](size_t at, size_t size) {
        uint32_t value = 0;
        for (size_t i = 0; i < size && at + i < bytes.size(); ++i)
            value |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
        return value;
    };
    ASSERT_GT(bytes.size(), 0x40u);
    ASSERT_EQ(bytes.substr(0, 2), "MZ");
    uint32_t header = word(0x3C, 4);
    ASSERT_LT(header + 6, bytes.size());
    ASSERT_EQ(bytes.substr(header, 4), std::string("PE\0\0", 4));
    constexpr uint32_t MachineI386 = 0x014C;
    EXPECT_EQ(word(header + 4, 2), MachineI386);
}

TEST_F(Gau, ExportsExactlyLinkageAndImportTable)
{
    // The export name table: "[Ordinal/Name Pointer] Table" then one
    // "[   0] Name" row per export, up to a blank line.
    auto start = headers.find("[Ordinal/Name Pointer] Table");
    ASSERT_NE(start, std::string::npos) << "no export table";
    auto stop = headers.find("\n\n", start);
    std::string table = headers.substr(start, stop - start);
    std::set<std::string> names;
    std::regex row(R"(\n\s*\[\s*\d+\]\s+(\S+))");
    for (std::sregex_iterator it(table.begin(), table.end(), row), end; it != end; ++it)
        names.insert((*it)[1]);
    EXPECT_EQ(names, (std::set<std::string>{"ImportTable", "Linkage"}));
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
