// The click sounds of the switch gauges, played through SDL with a driver
// that needs no sound card: set-up, play, release, and every way sound can
// fail without a switch noticing.
#include "sound/sound_slot.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "sound/portable/sdl_sound.h"
#include "tests/sound/fake_platform.h"

namespace {

constexpr uint32_t ShortClipBytes = 3828;
constexpr uint32_t LeverClipBytes = 6014;

class SoundSlots : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        fake::reset();
        soundAvailable = 1;
        fake::platform().windows["FS98MAIN"] = fake::hostWindow();
        fake::platform().serveClip(ShortClickClip, fake::waveClip({.sampleBytes = ShortClipBytes}));
        fake::platform().serveClip(LeverClickClip, fake::waveClip({.sampleBytes = LeverClipBytes, .fmtSize = 16}));
    }

    void TearDown() override
    {
        for (SoundSlot* s : {&first, &second, &third}) {
            releaseBuffer(*s);
            releaseDevice(*s);
        }
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "every slot let go of SDL's audio";
        unsetenv("SDL_DISKAUDIOFILE");
    }

    static void install(SoundSlot& slot, uint32_t clip, uint32_t instance = 0)
    {
        serveSoundSlot(slot, clip, ServiceInstall, instance);
    }
    static void remove(SoundSlot& slot) { serveSoundSlot(slot, 0, ServiceBeforeRemove, 0); }

    static PortableSoundBuffer& voiceOf(const SoundSlot& slot)
    {
        return *static_cast<PortableSoundBuffer*>(slot.buffer);
    }

    // Waits, boundedly, until the audio thread has brought the voice to
    // `state`; returns with SDL's device lock held, so nothing moves while
    // the test looks. A stuck device fails the test instead of hanging it.
    template <typename State>
    static bool lockWhen(const SoundSlot& slot, State state)
    {
        for (int i = 0; i < 5000; ++i) {
            SDL_LockAudioDevice(portableSoundOutput());
            if (state(voiceOf(slot)))
                return true;
            SDL_UnlockAudioDevice(portableSoundOutput());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        SDL_LockAudioDevice(portableSoundOutput());
        return false;
    }

    static bool finished(const PortableSoundBuffer& v) { return !v.playing; }
    static bool underWay(const PortableSoundBuffer& v) { return v.playing && v.position > 0; }

    SoundSlot first{};
    SoundSlot second{};
    SoundSlot third{};
};

// ---------------------------------------------------------------- set-up and play

TEST_F(SoundSlots, InstallationFindsTheWindowCreatesTheDeviceAndLoadsTheClip)
{
    install(first, LeverClickClip, 0x400000);
    EXPECT_EQ(first.instance, reinterpret_cast<platform::ModuleInstance>(0x400000));
    EXPECT_EQ(first.window, fake::hostWindow());
    EXPECT_NE(first.device, nullptr);
    ASSERT_NE(first.buffer, nullptr);
    EXPECT_EQ(fake::platform().instancesAsked.back(), first.instance) << "the clip comes from the instance";
    EXPECT_EQ(playClip(first), 1);
    EXPECT_EQ(soundAvailable, 1);
}

TEST_F(SoundSlots, LoadingGivesTheClipsSampleBytes)
{
    ASSERT_EQ(createSoundDevice(fake::hostWindow(), first), 1);
    EXPECT_EQ(loadClip(first, ShortClickClip, nullptr), ShortClipBytes);
    ASSERT_EQ(createSoundDevice(fake::hostWindow(), second), 1);
    EXPECT_EQ(loadClip(second, LeverClickClip, nullptr), LeverClipBytes) << "its fmt chunk is 16 bytes";
}

TEST_F(SoundSlots, AClickWhileTheClipPlaysLetsItPlayOn)
{
    install(first, LeverClickClip);
    ASSERT_EQ(playClip(first), 1);
    ASSERT_TRUE(lockWhen(first, underWay));
    uint32_t reached = voiceOf(first).position;
    EXPECT_EQ(playClip(first), 1);
    EXPECT_TRUE(voiceOf(first).playing);
    EXPECT_EQ(voiceOf(first).position, reached) << "not restarted";
    SDL_UnlockAudioDevice(portableSoundOutput());
}

TEST_F(SoundSlots, AClickAfterTheClipFinishedPlaysItAgainFromTheStart)
{
    install(first, ShortClickClip);
    ASSERT_EQ(playClip(first), 1);
    ASSERT_TRUE(lockWhen(first, finished));
    EXPECT_EQ(voiceOf(first).position, ShortClipBytes) << "played to its end";
    EXPECT_EQ(playClip(first), 1);
    EXPECT_TRUE(voiceOf(first).playing);
    EXPECT_EQ(voiceOf(first).position, 0u);
    SDL_UnlockAudioDevice(portableSoundOutput());
}

TEST_F(SoundSlots, SlotsOfDifferentGaugesPlayTogether)
{
    install(first, LeverClickClip);
    install(second, ShortClickClip);
    ASSERT_NE(second.buffer, nullptr) << "one output serves every slot";
    EXPECT_EQ(playClip(first), 1);
    EXPECT_EQ(playClip(second), 1);
    EXPECT_EQ(soundAvailable, 1);
    remove(first);
    EXPECT_EQ(playClip(second), 1) << "the output stays while a slot uses it";
}

TEST_F(SoundSlots, AClipOfAnotherFormatIsConvertedToTheSharedOutput)
{
    install(first, LeverClickClip);
    fake::platform().serveClip(ShortClickClip, fake::waveClip({.bits = 8, .sampleBytes = 300}));
    install(second, ShortClickClip);
    ASSERT_NE(second.buffer, nullptr);
    EXPECT_EQ(voiceOf(second).size, 600u) << "300 8-bit samples as 16-bit ones";
    EXPECT_EQ(playClip(second), 1);
}

TEST_F(SoundSlots, APlayedClipsSamplesReachTheOutput)
{
    std::string file = testing::TempDir() + "vardex_click.raw";
    std::remove(file.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    install(first, LeverClickClip);
    ASSERT_NE(first.buffer, nullptr);
    ASSERT_EQ(playClip(first), 1);
    ASSERT_TRUE(lockWhen(first, finished));
    SDL_UnlockAudioDevice(portableSoundOutput());
    remove(first);  // closes the output, and so the file

    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> written{std::istreambuf_iterator<char>(in), {}};
    auto samples = fake::clipSamples(LeverClipBytes);
    EXPECT_NE(std::search(written.begin(), written.end(), samples.begin(), samples.end()), written.end())
        << written.size() << " bytes written";
    std::remove(file.c_str());
}

// ---------------------------------------------------------------- removal

TEST_F(SoundSlots, RemovalEmptiesTheSlotAndLaterClicksDoNothing)
{
    install(first, ShortClickClip);
    remove(first);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(first.device, nullptr);
    EXPECT_EQ(playClip(first), 0);
    EXPECT_EQ(soundAvailable, 1) << "playing an empty slot is no failure";
}

TEST_F(SoundSlots, ASecondRemovalDoesNothing)
{
    install(first, ShortClickClip);
    remove(first);
    remove(first);
    releaseBuffer(first);
    releaseDevice(first);
    EXPECT_EQ(soundAvailable, 1);
}

TEST_F(SoundSlots, PlayBeforeSetUpDoesNothing)
{
    EXPECT_EQ(playClip(first), 0);
    EXPECT_EQ(soundAvailable, 1);
}

TEST_F(SoundSlots, OtherServiceCodesLeaveTheSlotAlone)
{
    install(first, ShortClickClip);
    void* buffer = first.buffer;
    for (int32_t code : {0, 1, 3, 6, 13, 14, 17, -1})
        serveSoundSlot(first, ShortClickClip, code, 0);
    EXPECT_EQ(first.buffer, buffer);
    EXPECT_EQ(playClip(first), 1);
}

TEST_F(SoundSlots, ASecondInstallationOfTheSameGaugeTakesOverTheSlot)
{
    install(first, ShortClickClip);
    install(first, ShortClickClip);  // a second placed instance; the first's objects are let go
    EXPECT_NE(first.buffer, nullptr);
    EXPECT_EQ(playClip(first), 1);
    remove(first);
}

// ---------------------------------------------------------------- failures silence, switches go on

TEST_F(SoundSlots, WithoutTheHostWindowThereIsNoDeviceAndNoSound)
{
    fake::platform().windows.clear();
    install(first, ShortClickClip);
    EXPECT_EQ(first.window, nullptr);
    EXPECT_EQ(first.device, nullptr);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);
    EXPECT_EQ(playClip(first), 0);
    remove(first);
}

TEST_F(SoundSlots, WithoutAnAudioDeviceThereIsNoSound)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    install(first, ShortClickClip);
    EXPECT_EQ(first.device, nullptr);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);
    EXPECT_EQ(playClip(first), 0);
}

TEST_F(SoundSlots, TheDeviceIsCreatedEvenAfterSoundWasSilencedButNothingLoads)
{
    soundAvailable = 0;
    EXPECT_EQ(createSoundDevice(fake::hostWindow(), first), 1);
    EXPECT_NE(first.device, nullptr);
    EXPECT_EQ(loadClip(first, ShortClickClip, nullptr), 0u);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0) << "nothing sets it again";
}

TEST_F(SoundSlots, AMissingClipSilencesSound)
{
    fake::platform().clips.erase(LeverClickClip);
    install(first, LeverClickClip);
    EXPECT_NE(first.device, nullptr) << "the device stays until removal";
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);
}

TEST_F(SoundSlots, ATruncatedClipSilencesSound)
{
    auto clip = fake::waveClip({.sampleBytes = ShortClipBytes});
    clip.resize(clip.size() - 1);
    fake::platform().serveClip(ShortClickClip, clip);
    install(first, ShortClickClip);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);
}

TEST_F(SoundSlots, AClipWhoseSizesLieSilencesSoundWithoutReadingPastIt)
{
    auto clip = fake::waveClip({.sampleBytes = ShortClipBytes});
    fake::put32(clip, 20 + 18 + 4, 0xFFFFFFF0);  // the data chunk's size
    fake::platform().serveClip(ShortClickClip, clip);
    install(first, ShortClickClip);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);
}

TEST_F(SoundSlots, AClipSdlCannotPlaySilencesSound)
{
    fake::platform().serveClip(ShortClickClip, fake::waveClip({.bits = 24, .sampleBytes = 300}));
    install(first, ShortClickClip);
    EXPECT_EQ(first.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);

    soundAvailable = 1;
    fake::platform().serveClip(ShortClickClip, fake::waveClip({.formatTag = 3, .sampleBytes = 300}));
    install(second, ShortClickClip);
    EXPECT_EQ(second.buffer, nullptr);
    EXPECT_EQ(soundAvailable, 0);

    soundAvailable = 1;
    fake::platform().serveClip(ShortClickClip, fake::waveClip({.sampleBytes = 0}));
    install(third, ShortClickClip);
    EXPECT_EQ(third.buffer, nullptr) << "an empty clip is nothing to play";
    EXPECT_EQ(soundAvailable, 0);
}

TEST_F(SoundSlots, TheFirstFailureSilencesSlotsThatLoadedWell)
{
    install(first, LeverClickClip);
    install(second, ShortClickClip);
    ASSERT_EQ(playClip(first), 1);
    fake::platform().clips.erase(LeverClickClip);
    install(third, LeverClickClip);
    EXPECT_EQ(soundAvailable, 0);
    EXPECT_EQ(playClip(first), 0);
    EXPECT_EQ(playClip(second), 0);
    fake::platform().serveClip(LeverClickClip, fake::waveClip({.sampleBytes = LeverClipBytes}));
    install(third, LeverClickClip);
    EXPECT_EQ(third.buffer, nullptr) << "silenced for good";
    EXPECT_EQ(playClip(third), 0);
}

}  // namespace
