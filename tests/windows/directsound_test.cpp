// The switch sounds of Vardex_Instr.gau on Wine's DirectSound, both ways:
// with no audio device the set-up fails, sound is silenced for good and the
// switches work on; on ALSA's null device the clips load from the .gau's own
// "WAVE" resources and every click plays. The wine-run.sh script runs the
// two suites with the audio set-up each needs (the null device for all but
// the no-device cases).
#include <windows.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <string>

#include "devhost/core/host.h"
#include "directsound_spy.h"
#include "tests/module/switch_support.h"

namespace {

constexpr DWORD ClipBufferCaps = 0x80E0;  // frequency, pan and volume control, global focus
constexpr DWORD ShortClickBytes = 3828;   // clip 10
constexpr DWORD LeverClickBytes = 6014;   // clip 30

// The units lever: a plate with the lever icon; a click anywhere on the
// plate throws it.
constexpr int LeverFrameElement = 1;
constexpr Point OnThePlate = {48, 22};

// A host with the module loaded and its DirectSound calls recorded from the
// first installation on.
class SoundCase : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(spy.attached()) << "Vardex_Instr.gau does not import DirectSoundCreate"; }

    wintest::DirectSoundLog log() const { return spy.log(); }

    int leverFrame(devhost::GaugeInstance& lever)
    {
        return moduletest::frameAfterNextFrame(host, lever, LeverFrameElement).value_or(-1);
    }

    // Over to British units and back, as the lever shows it.
    void throwLeverTwice(devhost::GaugeInstance& lever)
    {
        EXPECT_EQ(leverFrame(lever), 0);
        host.clickGaugePixel(lever, OnThePlate);
        EXPECT_EQ(leverFrame(lever), 1);
        host.clickGaugePixel(lever, OnThePlate);
        EXPECT_EQ(leverFrame(lever), 0);
    }

    wintest::DirectSoundSpy spy;   // before the host: it sees the module load
    devhost::Host host{devhost::moduleUnderTest()};
};

void expectClip(const wintest::SoundBufferRecord& buffer, DWORD bytes)
{
    EXPECT_EQ(buffer.result, DS_OK);
    EXPECT_EQ(buffer.descriptionSize, 36u);
    EXPECT_EQ(buffer.flags, ClipBufferCaps);
    EXPECT_EQ(buffer.bytes, bytes);
    EXPECT_EQ(buffer.format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(buffer.format.nChannels, 1);
    EXPECT_EQ(buffer.format.nSamplesPerSec, 22050u);
    EXPECT_EQ(buffer.format.wBitsPerSample, 16);
}

using Win32DirectSoundWithoutDevice = SoundCase;

TEST_F(Win32DirectSoundWithoutDevice, SetUpFailsAndTheLeverStillThrowsInSilence)
{
    auto& lever = host.place("Metric_Switch");
    ASSERT_EQ(log().deviceCreations.size(), 1u);
    EXPECT_TRUE(FAILED(log().deviceCreations[0])) << "Wine has no audio driver in this run";
    EXPECT_TRUE(log().buffers.empty()) << "no device, no clip";
    throwLeverTwice(lever);
    EXPECT_TRUE(log().plays.empty());
}

TEST_F(Win32DirectSoundWithoutDevice, OnceSilencedAGaugeInstalledLaterLoadsNoClip)
{
    host.place("Metric_Switch");
    host.place("NAV_GPS_Switch");
    // The device is tried again (set-up always tries), the clip is not.
    EXPECT_EQ(log().deviceCreations.size(), 2u);
    EXPECT_TRUE(log().buffers.empty());
}

using Win32DirectSoundOnNullDevice = SoundCase;

TEST_F(Win32DirectSoundOnNullDevice, SetUpLoadsTheLeverClickFromTheGauOnTheHostWindow)
{
    // The host's main window, as the development host opens it on Windows.
    HWND window = FindWindowA("FS98MAIN", nullptr);
    ASSERT_NE(window, nullptr);
    host.place("Metric_Switch");
    ASSERT_EQ(log().deviceCreations.size(), 1u);
    EXPECT_EQ(log().deviceCreations[0], DS_OK);
    ASSERT_EQ(log().cooperativeLevels.size(), 1u);
    EXPECT_EQ(log().cooperativeLevels[0].result, DS_OK);
    EXPECT_EQ(log().cooperativeLevels[0].window, window);
    EXPECT_EQ(log().cooperativeLevels[0].level, static_cast<DWORD>(DSSCL_NORMAL));
    ASSERT_EQ(log().buffers.size(), 1u);
    expectClip(log().buffers[0], LeverClickBytes);
}

TEST_F(Win32DirectSoundOnNullDevice, EveryThrowOfTheLeverPlaysItsClick)
{
    throwLeverTwice(host.place("Metric_Switch"));
    ASSERT_EQ(log().plays.size(), 2u);
    for (const wintest::PlayRecord& play : log().plays) {
        EXPECT_EQ(play.result, DS_OK);
        EXPECT_EQ(play.bytes, LeverClickBytes);
    }
}

TEST_F(Win32DirectSoundOnNullDevice, TheShortClickLoadsForTheNavGpsLever)
{
    host.place("NAV_GPS_Switch");
    ASSERT_EQ(log().buffers.size(), 1u);
    expectClip(log().buffers[0], ShortClickBytes);
}

TEST_F(Win32DirectSoundOnNullDevice, RemovalReleasesTheBufferAndTheDevice)
{
    host.remove(host.place("Metric_Switch"));
    EXPECT_EQ(log().bufferReleases, 1);
    EXPECT_EQ(log().deviceReleases, 1);
}

}  // namespace
