#ifndef _WIN32

#include <dlfcn.h>

#include <fstream>
#include <string>

#include "devhost/core/module_gauges.h"
#include "devhost/core/host_error.h"
#include "devhost/core/module_file.h"
#include "framework/portable_exports.h"

namespace devhost {

namespace {

// A Windows executable begins with the DOS header's "MZ".
bool isWindowsFile(const std::filesystem::path& path)
{
    char magic[2] = {};
    std::ifstream file(path, std::ios::binary);
    return file.read(magic, sizeof magic) && magic[0] == 'M' && magic[1] == 'Z';
}

}  // namespace

ModuleFile::ModuleFile(const std::filesystem::path& path, bool privateCopy) : path_(path)
{
    const std::filesystem::path file = prepare(privateCopy);
    // The loader would only say "invalid ELF header" of the file users
    // install: say which build it is and what loads it.
    if (isWindowsFile(file)) {
        removeCopy();
        throw HostError("module file " + path.string() +
                        " is the Windows build of the module (the .gau the simulator loads); this devhost loads "
                        "the Linux build, " + std::string(ModuleName) + ".so. Run the Windows development host on it: wine devhost.exe "
                        "list --module " + path.string());
    }
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    // The mapping outlives the file: the copy goes at once, so that a test
    // that aborts leaves nothing behind.
    removeCopy();
    if (!handle_) {
        // The loader names the file it was given, the private copy; the
        // user knows only their own.
        const char* error = dlerror();
        std::string why = error ? error : "unknown error";
        const std::string copy = file.string(), original = path.string();
        for (size_t at = why.find(copy); file != path && at != std::string::npos;
             at = why.find(copy, at + original.size()))
            why.replace(at, copy.size(), original);
        throw HostError("cannot load module file " + path.string() + ": " + why);
    }
}

ModuleFile::~ModuleFile()
{
    if (handle_)
        dlclose(handle_);
}

void* ModuleFile::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

std::span<const unsigned char> ModuleFile::resource(const char* type, uint32_t number) const
{
    auto table = reinterpret_cast<ResourceLookup>(symbol(ResourceLookupName));
    size_t size = 0;
    const unsigned char* data = table ? table(type, number, &size) : nullptr;
    return data ? std::span<const unsigned char>{data, size} : std::span<const unsigned char>{};
}

}  // namespace devhost

#endif
