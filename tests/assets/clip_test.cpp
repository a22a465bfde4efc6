// The two click clips as the sound slots find them in the module: RIFF/WAVE
// with a plain 16-byte "fmt " chunk, PCM mono 22050 Hz 16-bit, and exactly
// the data sizes the slots' buffers are made for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/assets/module_resources.h"

namespace {

struct Clip {
    uint32_t number;
    uint32_t dataBytes;
};

class ClipInModule : public testing::TestWithParam<Clip> {
protected:
    ModuleResources module;
};

std::string tag(std::span<const unsigned char> bytes, size_t at)
{
    return std::string(reinterpret_cast<const char*>(bytes.data() + at), 4);
}

TEST_P(ClipInModule, IsAPlainPcmWaveOfTheExactDataSize)
{
    ASSERT_TRUE(module.loaded());
    auto wav = module.get("WAVE", GetParam().number);
    ASSERT_EQ(wav.size(), 12u + 8 + 16 + 8 + GetParam().dataBytes);
    EXPECT_EQ(tag(wav, 0), "RIFF");
    EXPECT_EQ(readU32(wav, 4), wav.size() - 8);
    EXPECT_EQ(tag(wav, 8), "WAVE");
    EXPECT_EQ(tag(wav, 12), "fmt ");
    EXPECT_EQ(readU32(wav, 16), 16u);
    EXPECT_EQ(readU16(wav, 20), 1u) << "PCM";
    EXPECT_EQ(readU16(wav, 22), 1u) << "mono";
    EXPECT_EQ(readU32(wav, 24), 22050u);
    EXPECT_EQ(readU32(wav, 28), 44100u) << "bytes per second";
    EXPECT_EQ(readU16(wav, 32), 2u) << "block align";
    EXPECT_EQ(readU16(wav, 34), 16u) << "bits per sample";
    EXPECT_EQ(tag(wav, 36), "data");
    EXPECT_EQ(readU32(wav, 40), GetParam().dataBytes);
}

TEST_P(ClipInModule, SoundsAndNeverClips)
{
    auto wav = module.get("WAVE", GetParam().number);
    ASSERT_GT(wav.size(), 44u);
    int peak = 0;
    for (size_t at = 44; at + 1 < wav.size(); at += 2)
        peak = std::max(peak, std::abs(static_cast<int16_t>(readU16(wav, at))));
    EXPECT_GT(peak, 8000) << "audible";
    EXPECT_LT(peak, 32000) << "headroom below full scale";
    // Starts and ends in silence, so neither edge is a step.
    EXPECT_LT(std::abs(static_cast<int16_t>(readU16(wav, 44))), 64);
    EXPECT_LT(std::abs(static_cast<int16_t>(readU16(wav, wav.size() - 2))), 64);
}

INSTANTIATE_TEST_SUITE_P(Clips, ClipInModule, testing::Values(Clip{10, 3828}, Clip{30, 6014}),
                         [](const auto& info) { return "Clip" + std::to_string(info.param.number); });

}  // namespace
