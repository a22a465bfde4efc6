// SDL2 as the portable back end reaches it: the shared library is loaded
// when the first slot creates its device, not with the module, so that a
// program that loads the module and plays nothing (listing the gauges,
// drawing them) never loads SDL and the dozens of libraries SDL needs.
#pragma once

#include <SDL.h>

// The SDL functions the back end calls.
struct SdlLibrary {
    decltype(&SDL_SetHintWithPriority) setHintWithPriority;
    decltype(&SDL_InitSubSystem) initSubSystem;
    decltype(&SDL_QuitSubSystem) quitSubSystem;
    decltype(&SDL_WasInit) wasInit;
    decltype(&SDL_Quit) quit;
    decltype(&SDL_OpenAudioDevice) openAudioDevice;
    decltype(&SDL_CloseAudioDevice) closeAudioDevice;
    decltype(&SDL_PauseAudioDevice) pauseAudioDevice;
    decltype(&SDL_LockAudioDevice) lockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) unlockAudioDevice;
    decltype(&SDL_BuildAudioCVT) buildAudioCvt;
    decltype(&SDL_ConvertAudio) convertAudio;
    decltype(&SDL_MixAudioFormat) mixAudioFormat;
};

// SDL, loaded at the first call (thread-safe); null when the library or
// one of its functions cannot be found, and from then on.
const SdlLibrary* sdlLibrary();

// SDL once loaded, else null: for the steps that only follow a load.
const SdlLibrary* loadedSdlLibrary();

// Lets go of the library when nothing of SDL is in use any more (the module
// is being unloaded); a library still in use stays loaded.
void unloadSdlLibraryIfUnused();
