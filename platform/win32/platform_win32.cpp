#include "platform/platform.h"

#include <windows.h>

#include "platform/executable_stem.h"

namespace platform {

ResourceBytes findResource(ModuleInstance instance, uint32_t number, ResourceType type)
{
    auto module = static_cast<HMODULE>(instance);
    LPCSTR kind = type == ResourceType::Wave ? "WAVE" : MAKEINTRESOURCEA(2) /* RT_BITMAP */;
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(number), kind);
    if (!info)
        return {nullptr, 0};
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded)
        return {nullptr, 0};
    auto data = static_cast<const unsigned char*>(LockResource(loaded));
    DWORD size = SizeofResource(module, info);
    return data ? ResourceBytes{data, size} : ResourceBytes{nullptr, 0};
}

void hostExecutableName(char* out, size_t capacity)
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[n < MAX_PATH ? n : 0] = '\0';  // a path cut at MAX_PATH is no name
    copyExecutableStem(path, "\\/:", out, capacity);
}

WindowHandle findTopLevelWindow(const char* className)
{
    return FindWindowA(className, nullptr);
}

// The simulator sounds the clip itself; no one else listens.
void tellClipPlayed(uint32_t) {}

}  // namespace platform
