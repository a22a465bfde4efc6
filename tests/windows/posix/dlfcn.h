// The POSIX loader calls, served by the Windows loader, so that the module
// cases that load the module themselves run unchanged against
// Vardex_Instr.gau. Only what those cases use: open now, look up, close,
// and the last error as text.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#define RTLD_LAZY 0x1
#define RTLD_NOW 0x2
#define RTLD_LOCAL 0x0

namespace posix_loader {

inline std::string& lastError()
{
    static std::string text;
    return text;
}

inline void recordError(const char* what, const char* name)
{
    char text[256];
    std::snprintf(text, sizeof text, "%s %s: Windows error %lu", what, name ? name : "(null)",
                  static_cast<unsigned long>(GetLastError()));
    lastError() = text;
}

}  // namespace posix_loader

inline void* dlopen(const char* path, int)
{
    std::string windowsPath = path ? path : "";
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    HMODULE module = LoadLibraryA(windowsPath.c_str());
    if (!module)
        posix_loader::recordError("LoadLibrary", path);
    return reinterpret_cast<void*>(module);
}

inline void* dlsym(void* module, const char* name)
{
    FARPROC address = GetProcAddress(static_cast<HMODULE>(module), name);
    if (!address)
        posix_loader::recordError("GetProcAddress", name);
    return reinterpret_cast<void*>(address);
}

inline int dlclose(void* module)
{
    return FreeLibrary(static_cast<HMODULE>(module)) ? 0 : -1;
}

inline const char* dlerror()
{
    return posix_loader::lastError().c_str();
}
