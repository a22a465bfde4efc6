#ifdef _WIN32

#include <windows.h>

#include <string_view>

#include "devhost/core/host_error.h"
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

std::span<const unsigned char> ModuleFile::resource(const char* type, uint32_t number) const
{
    auto module = static_cast<HMODULE>(handle_);
    LPCSTR kind = std::string_view(type) == "BITMAP" ? MAKEINTRESOURCEA(2) /* RT_BITMAP */ : type;
    HRSRC info = module ? FindResourceA(module, MAKEINTRESOURCEA(number), kind) : nullptr;
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    auto data = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    return data ? std::span<const unsigned char>{data, SizeofResource(module, info)} : std::span<const unsigned char>{};
}

}  // namespace devhost

#endif
