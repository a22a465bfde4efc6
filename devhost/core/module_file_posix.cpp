#ifndef _WIN32

#include <dlfcn.h>

#include "devhost/core/host_error.h"
#include "devhost/core/module_file.h"
#include "framework/portable_exports.h"

namespace devhost {

ModuleFile::ModuleFile(const std::filesystem::path& path, bool privateCopy) : path_(path)
{
    const std::filesystem::path file = prepare(privateCopy);
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
    auto table = reinterpret_cast<ResourceLookup>(symbol(ResourceLookupName));
    size_t size = 0;
    const unsigned char* data = table ? table(type, number, &size) : nullptr;
    return data ? std::span<const unsigned char>{data, size} : std::span<const unsigned char>{};
}

}  // namespace devhost

#endif
