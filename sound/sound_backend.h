// The steps of a sound slot that differ between the two builds: the Windows
// back end (sound/win32) answers them with DirectSound and the multimedia
// file calls, the portable one (sound/portable) with our RIFF/WAVE parser
// and SDL2. sound_slot.cpp keeps everything the two share: the slot
// references and the module-wide soundAvailable flag.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace soundbackend {

// A device on the default output, for the host window (never null here).
// Null on failure.
void* createDevice(platform::WindowHandle window);

// A buffer on `device` holding wave clip `clip` of the module's resources;
// `bytes` receives the clip's sample bytes. Null on failure, with nothing
// left behind.
void* loadBuffer(void* device, platform::ModuleInstance instance, uint32_t clip, uint32_t& bytes);

// Starts the buffer once, or lets it play on while it still plays. False on
// failure.
bool play(void* buffer, uint32_t flags);

void releaseBuffer(void* buffer);
void releaseDevice(void* device);

}  // namespace soundbackend
