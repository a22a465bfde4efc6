// The headers of Vardex_Instr.gau read from the file's own bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The host is a 32-bit x86 process and loads nothing else.
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

}  // namespace
