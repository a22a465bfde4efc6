// Vardex_Instr.gau as the Windows loader maps it, for the cases that look at
// the installed file itself.
#pragma once

#include <windows.h>

#include <string>

#include "devhost/core/host.h"

namespace wintest {

// The .gau under test (the program's --gau), as a Windows path.
inline std::string gauPath()
{
    std::string path = devhost::moduleUnderTest();
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// One reference to a loaded module file, released on scope exit.
class LoadedFile {
public:
    explicit LoadedFile(const std::string& path) : module_(LoadLibraryA(path.c_str())), error_(GetLastError()) {}
    ~LoadedFile()
    {
        if (module_)
            FreeLibrary(module_);
    }
    LoadedFile(const LoadedFile&) = delete;
    LoadedFile& operator=(const LoadedFile&) = delete;

    HMODULE handle() const { return module_; }
    DWORD error() const { return error_; }  // why LoadLibrary failed

    template <typename Record>
    Record* record(const char* name) const
    {
        return reinterpret_cast<Record*>(GetProcAddress(module_, name));
    }

    // Whether an address lies within the file's mapped image.
    bool contains(const void* address) const
    {
        auto base = reinterpret_cast<const unsigned char*>(module_);
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        auto p = static_cast<const unsigned char*>(address);
        return p >= base && p < base + nt->OptionalHeader.SizeOfImage;
    }

private:
    HMODULE module_;
    DWORD error_;
};

}  // namespace wintest
