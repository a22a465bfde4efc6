#include "sound/portable/sdl_library.h"

#include <dlfcn.h>

namespace {

// SDL2's shared library as every Linux distribution names it.
constexpr const char* SdlFile = "libSDL2-2.0.so.0";

void* handle = nullptr;
SdlLibrary library{};

template <typename Function>
bool find(const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

bool load()
{
    // Never unmapped: SDL keeps what its hints and subsystems allocated in its
    // own globals, which would be lost (leaked) with the library; a second
    // copy of the module reuses the mapping.
    handle = dlopen(SdlFile, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle)
        return false;
    const bool found =
        find("SDL_SetHintWithPriority", library.setHintWithPriority) && find("SDL_InitSubSystem", library.initSubSystem) &&
        find("SDL_QuitSubSystem", library.quitSubSystem) && find("SDL_WasInit", library.wasInit) &&
        find("SDL_Quit", library.quit) && find("SDL_OpenAudioDevice", library.openAudioDevice) &&
        find("SDL_CloseAudioDevice", library.closeAudioDevice) &&
        find("SDL_PauseAudioDevice", library.pauseAudioDevice) &&
        find("SDL_LockAudioDevice", library.lockAudioDevice) &&
        find("SDL_UnlockAudioDevice", library.unlockAudioDevice) && find("SDL_BuildAudioCVT", library.buildAudioCvt) &&
        find("SDL_ConvertAudio", library.convertAudio) && find("SDL_MixAudioFormat", library.mixAudioFormat);
    if (!found) {
        dlclose(handle);
        handle = nullptr;
    }
    return found;
}

}  // namespace

const SdlLibrary* sdlLibrary()
{
    static const bool loaded = load();
    return loaded && handle ? &library : nullptr;
}

const SdlLibrary* loadedSdlLibrary() { return handle ? &library : nullptr; }

void unloadSdlLibraryIfUnused()
{
    if (handle && library.wasInit(0) == 0) {
        dlclose(handle);
        handle = nullptr;
    }
}
