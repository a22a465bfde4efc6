#include "platform/platform.h"

#include <windows.h>

#include <cstring>

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
    if (!out || capacity == 0)
        return;
    out[0] = '\0';
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    path[n] = '\0';
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            base = p + 1;
    size_t length = std::strcspn(base, ".");
    if (length >= capacity)
        length = capacity - 1;
    std::memcpy(out, base, length);
    out[length] = '\0';
}

WindowHandle findTopLevelWindow(const char* className)
{
    return FindWindowA(className, nullptr);
}

// The simulator sounds the clip itself; no one else listens.
void tellClipPlayed(uint32_t) {}

}  // namespace platform
