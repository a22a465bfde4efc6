#ifndef _WIN32

#include <dlfcn.h>

#include <fstream>

#include "devhost/core/host.h"
#include "devhost/core/module_file.h"

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
                        "the Linux build, Vardex_Instr.so. Run the Windows development host on it: wine devhost.exe "
                        "list --module " + path.string());
    }
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    // The mapping outlives the file: the copy goes at once, so that a test
    // that aborts leaves nothing behind.
    removeCopy();
    if (!handle_) {
        const char* why = dlerror();
        throw HostError("cannot load module file " + path.string() + ": " + (why ? why : "unknown error"));
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
    using Table = const unsigned char* (*)(const char* type, uint32_t number, size_t* size);
    auto table = reinterpret_cast<Table>(symbol("vardexResource"));
    size_t size = 0;
    const unsigned char* data = table ? table(type, number, &size) : nullptr;
    return data ? std::span<const unsigned char>{data, size} : std::span<const unsigned char>{};
}

}  // namespace devhost

#endif
