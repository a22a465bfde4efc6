#ifdef _WIN32

#include <windows.h>

#include "devhost/core/host.h"
#include "devhost/core/module_file.h"

namespace devhost {

ModuleFile::ModuleFile(const std::filesystem::path& path, bool privateCopy) : path_(path)
{
    const std::filesystem::path file = prepare(privateCopy);
    handle_ = LoadLibraryA(file.string().c_str());
    if (!handle_) {
        removeCopy();
        throw HostError("cannot load module file " + path.string() + " (error " + std::to_string(GetLastError()) + ")");
    }
}

ModuleFile::~ModuleFile()
{
    // A loaded library's file cannot be removed on Windows: the copy goes
    // after the unload.
    if (handle_)
        FreeLibrary(static_cast<HMODULE>(handle_));
    removeCopy();
}

void* ModuleFile::symbol(const char* name) const
{
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

}  // namespace devhost

#endif
