// The portable back end's records, for the tests that watch SDL play.
//
// SDL's drivers without a sound card (dummy, disk) offer one output device
// to a process, so the slots share one output device, opened in the first
// clip's format, and a mixer plays each slot's clip as one voice of it.
#pragma once

#include <SDL.h>

#include <cstdint>

struct PortableSoundBuffer {
    unsigned char* samples;  // in the shared output's format
    uint32_t size;
    uint32_t position;       // next byte to play; the audio thread advances it
    bool playing;
};

// The shared output device, 0 while no slot holds a clip.
SDL_AudioDeviceID portableSoundOutput();
