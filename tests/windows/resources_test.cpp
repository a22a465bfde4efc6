// The resource section of Vardex_Instr.gau read back through the Windows
// resource and multimedia calls: the host loads the bitmaps by number, and
// the switch sounds parse the clips with the multimedia file functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "clip_reader.h"
#include "installed_file.h"
#include "tests/resource_numbers.h"

namespace {

class Win32Resources : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(gau.handle(), nullptr) << "LoadLibrary error " << gau.error(); }

    wintest::LoadedFile gau{wintest::gauPath()};
};

BOOL CALLBACK collectNumber(HMODULE, LPCSTR, LPSTR name, LONG_PTR numbers)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<int>*>(numbers)->insert(static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::set<int> resourceNumbers(HMODULE module, LPCSTR type)
{
    std::set<int> numbers;
    EnumResourceNamesA(module, type, collectNumber, reinterpret_cast<LONG_PTR>(&numbers));
    return numbers;
}

TEST_F(Win32Resources, EveryListedBitmapLoadsByNumberAtItsStatedSize)
{
    for (const auto& [number, size] : expectedSizes) {
        SCOPED_TRACE(testing::Message() << "bitmap " << number);
        HBITMAP bitmap = LoadBitmapA(gau.handle(), MAKEINTRESOURCEA(number));
        ASSERT_NE(bitmap, nullptr) << "LoadBitmap error " << GetLastError();
        BITMAP info{};
        EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, size.width);
        EXPECT_EQ(info.bmHeight, size.height);
        DeleteObject(bitmap);
    }
}

TEST_F(Win32Resources, CarriesNoBitmapBeyondTheList)
{
    EXPECT_EQ(resourceNumbers(gau.handle(), MAKEINTRESOURCEA(2) /* RT_BITMAP */), declaredBitmapNumbers);
}

struct ExpectedClip {
    int number;
    DWORD dataSize;
};

// Both clips: PCM, one channel, 22050 samples per second, 16 bits.
constexpr ExpectedClip clips[] = {{10, 3828}, {30, 6014}};

TEST_F(Win32Resources, ClipsTenAndThirtyAreMonoSixteenBitPcmOfTheirExactLength)
{
    EXPECT_EQ(declaredWaveNumbers, (std::set<int>{10, 30}));
    for (const ExpectedClip& expected : clips) {
        SCOPED_TRACE(testing::Message() << "clip " << expected.number);
        wintest::Clip clip = wintest::readClip(gau.handle(), expected.number);
        ASSERT_TRUE(clip.parsed) << "no RIFF/WAVE with \"fmt \" and \"data\" chunks inside the resource";
        EXPECT_EQ(clip.format.formatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(clip.format.channels, 1);
        EXPECT_EQ(clip.format.samplesPerSecond, 22050u);
        EXPECT_EQ(clip.format.bitsPerSample, 16);
        EXPECT_EQ(clip.format.blockAlign, 2);
        EXPECT_EQ(clip.format.bytesPerSecond, 44100u);
        EXPECT_EQ(clip.dataSize, expected.dataSize);
    }
}

TEST_F(Win32Resources, CarriesNoClipBeyondTheList)
{
    EXPECT_EQ(resourceNumbers(gau.handle(), "WAVE"), declaredWaveNumbers);
}

}  // namespace
