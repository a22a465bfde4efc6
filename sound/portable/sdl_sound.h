// The portable back end's records, for the tests that watch SDL play.
#pragma once

#include <SDL.h>

#include <cstdint>

// One SDL output device per slot, opened in the clip's own format; the clip
// is queued whole on each play.
struct PortableSoundBuffer {
    SDL_AudioDeviceID device;
    unsigned char* samples;
    uint32_t size;
};
