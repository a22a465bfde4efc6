// What the switch tests share: the frame a switch shows, and an ear on the
// module's click sounds.
//
// The click sounds: SDL's disk driver writes what the module plays to a
// file; a test asks whether a clip of the module's own resources can be
// heard there, and how often. Every other module test plays into nothing
// (SDL finds no driver, the switches work on in silence), so no test needs
// a sound card. The Windows run of these
// cases (the .gau under Wine) has no such file: its clicks go to
// DirectSound, whose calls the Windows tests' recorder sees instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#if defined(_WIN32)
#include "tests/windows/directsound_spy.h"
#endif

namespace moduletest {

// Runs one frame and returns the frame that icon `element` of `gauge` then
// shows (none when it is not drawn).
std::optional<int> frameAfterNextFrame(devhost::Host& host, devhost::GaugeInstance& gauge, int element);

// Throws the units lever (placing it first if the panel lacks it); the
// instruments that read the units change in the next frame.
void throwUnitsLever(devhost::Host& host);

// Names a driver SDL does not have, for the process: the module opens no
// output and its switches work on in silence.
void playIntoNothing();

class ClickOutput {
public:
    ClickOutput();   // from now on, output opened by the module goes to a file
    ~ClickOutput();  // back to playing into nothing; the file is removed
    ClickOutput(const ClickOutput&) = delete;
    ClickOutput& operator=(const ClickOutput&) = delete;

    // Waits (bounded) until wave clip `clip` of the module has been played
    // `times` times in full; false if it never is.
    bool heard(uint32_t clip, int times = 1) const;

    // Clicks twice at (x, y), each time after the clip has played out: the
    // clip is heard once after the first click and twice after the second.
    testing::AssertionResult eachClickPlays(devhost::Host& host, devhost::GaugeInstance& gauge, int x, int y,
                                            uint32_t clip) const;

    // Whether the module opened an output at all.
    bool opened() const;

private:
    int count(const std::vector<unsigned char>& samples) const;
    std::string file_;
#if defined(_WIN32)
    wintest::DirectSoundSpy clicks_;  // the .gau's DirectSound calls from now on
#endif
};

// The sample bytes of wave clip `clip` in the module file under test.
std::vector<unsigned char> moduleClipSamples(uint32_t clip);

// Why wave clip `clip` cannot be heard in this run; empty when it can.
std::string cannotHear(uint32_t clip);

}  // namespace moduletest

// A run in which the clicks cannot be heard (a build without its clips, or
// a Windows run without an audio device) says so instead of failing its
// click tests.
#define VARDEX_SKIP_UNLESS_AUDIBLE(clip)                                    \
    if (std::string why = moduletest::cannotHear(clip); !why.empty())      \
    GTEST_SKIP() << why
