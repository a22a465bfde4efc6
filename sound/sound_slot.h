// Sound slots: the click that seven switches play.
//
// Each sound-using gauge owns one slot, module-wide (every placed instance of
// that gauge shares it): the module instance its clip is loaded from, the
// host window, a sound device and one buffer holding one wave clip. The
// gauge fills the slot on installation (service code 2), its mouse handlers
// play it, and removal (service code 12) empties it again.
//
// Sound is a courtesy. The first failure anywhere clears soundAvailable for
// good; from then on loading and playing do nothing, and the switches work
// on in silence. No failure is ever reported.
//
// Two back ends serve the same steps: win32/ with DirectSound and the
// multimedia file calls (the .gau), portable/ with our own RIFF/WAVE parser
// and SDL2 audio (the native build).
#pragma once

#include <cstdint>

#include "framework/cockpit_state.h"
#include "framework/gauge_model.h"
#include "platform/platform.h"

// Wave clips of the module's resources (type "WAVE").
inline constexpr uint32_t ShortClickClip = 10;  // 16-bit mono, 22050/s, 3828 bytes of samples
inline constexpr uint32_t LeverClickClip = 30;  // 16-bit mono, 22050/s, 6014 bytes of samples

// Play flags: once, from the buffer's current position.
inline constexpr uint32_t PlayOnce = 0;

struct SoundSlot {
    platform::ModuleInstance instance;  // where the clip is loaded from
    platform::WindowHandle window;      // the host's main window, or null
    void* device;                       // the back end's device object, or null
    void* buffer;                       // the back end's buffer holding the clip, or null
    uint32_t clip;                      // the clip it holds (told to the host on play)
};

// The host's main window class, from the file name of its executable
// (without folder and extension): only its first and fourth characters
// count. Never null.
const char* hostWindowClass(const char* executableName);

// The host's main window, looked up by that class; null if there is none.
platform::WindowHandle findHostWindow();

// Creates the slot's device on the default output for the window. Runs even
// while soundAvailable is 0. Returns 1, or 0 with soundAvailable cleared.
int32_t createSoundDevice(platform::WindowHandle window, SoundSlot& slot);

// Loads wave clip `clip` of `instance` into a new buffer of the slot's
// device. Returns the clip's sample bytes, or 0 (soundAvailable cleared, or
// already 0).
uint32_t loadClip(SoundSlot& slot, uint32_t clip, platform::ModuleInstance instance);

// Starts the slot's clip with `flags` (PlayOnce). A clip still playing plays
// on; one that has finished starts again from its beginning. Returns 1 if
// the buffer plays, else 0; callers ignore it.
int32_t playClip(SoundSlot& slot, uint32_t flags = PlayOnce);

// Release the slot's buffer and device and empty the references; an empty
// reference is left alone, so a second release does nothing. They free the
// objects even after sound has been silenced, so that nothing outlives its
// gauge.
void releaseBuffer(SoundSlot& slot);
void releaseDevice(SoundSlot& slot);

// What every sound-using gauge does in its gauge callback: on installation
// (extra = module instance) find the window, create the device and load the
// gauge's clip; on removal release the buffer, then the device.
void fillOrEmptySoundSlot(SoundSlot& slot, uint32_t clip, int32_t serviceCode, uint32_t extra);

// Other service codes do nothing, and as one comes every frame, that is
// told apart here without a call.
inline void serveSoundSlot(SoundSlot& slot, uint32_t clip, int32_t serviceCode, uint32_t extra)
{
    if (serviceCode == ServiceInstall || serviceCode == ServiceBeforeRemove)
        fillOrEmptySoundSlot(slot, clip, serviceCode, extra);
}

// The gauge callback of a gauge whose only set-up is its sound slot.
template <SoundSlot& slot, uint32_t clip>
void VARDEX_HOSTAPI soundSlotCallback(GaugeDefinition*, int32_t serviceCode, uint32_t extra)
{
    serveSoundSlot(slot, clip, serviceCode, extra);
}

// A click on a two-state switch of the module: the switch flips, then the
// slot's clip plays once.
void toggleWithClick(int32_t& state, SoundSlot& slot);
