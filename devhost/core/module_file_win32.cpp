#ifdef _WIN32

#include "devhost/core/module_file.h"

#include <windows.h>

#include <system_error>

#include "devhost/core/host.h"

namespace devhost {

ModuleFile::ModuleFile(const std::filesystem::path& path, bool privateCopy) : path_(path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw HostError("module file " + path.string() + " does not exist");

    std::filesystem::path toLoad = path;
    if (privateCopy) {
        // Windows identifies a loaded library by its path: a copy under a
        // fresh folder loads as a new module with fresh static data.
        char folder[MAX_PATH];
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (!GetTempFileNameA(base.string().c_str(), "dvh", 0, folder))
            throw HostError("cannot create a temporary name for a private copy of the module");
        copyFolder_ = folder;
        std::filesystem::remove(copyFolder_, error);
        std::filesystem::create_directory(copyFolder_, error);
        toLoad = copyFolder_ / path.filename();
        if (!std::filesystem::copy_file(path, toLoad, error)) {
            std::filesystem::remove_all(copyFolder_, error);
            throw HostError("cannot copy module file " + path.string() + ": " + error.message());
        }
    }

    handle_ = LoadLibraryA(toLoad.string().c_str());
    if (!handle_) {
        std::filesystem::remove_all(copyFolder_, error);
        throw HostError("cannot load module file " + path.string() + " (error " + std::to_string(GetLastError()) + ")");
    }
}

ModuleFile::~ModuleFile()
{
    if (handle_)
        FreeLibrary(static_cast<HMODULE>(handle_));
    if (!copyFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(copyFolder_, ignored);
    }
}

void* ModuleFile::symbol(const char* name) const
{
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)) : nullptr;
}

}  // namespace devhost

#endif
