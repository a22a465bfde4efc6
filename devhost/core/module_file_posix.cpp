#ifndef _WIN32

#include "devhost/core/module_file.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <system_error>

#include "devhost/core/host.h"

namespace devhost {

namespace {

std::filesystem::path makeCopyFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "devhost-module-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw HostError("cannot create a temporary folder for a private copy of the module");
    return pattern;
}

}  // namespace

ModuleFile::ModuleFile(const std::filesystem::path& path, bool privateCopy) : path_(path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw HostError("module file " + path.string() + " does not exist");

    std::filesystem::path toLoad = path;
    if (privateCopy) {
        copyFolder_ = makeCopyFolder();
        toLoad = copyFolder_ / path.filename();
        if (!std::filesystem::copy_file(path, toLoad, error)) {
            std::filesystem::remove_all(copyFolder_, error);
            throw HostError("cannot copy module file " + path.string() + ": " + error.message());
        }
    }

    handle_ = dlopen(toLoad.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (privateCopy) {
        // The mapping outlives the file: remove the copy at once, so that a
        // test that aborts leaves nothing behind.
        std::filesystem::remove_all(copyFolder_, error);
        copyFolder_.clear();
    }
    if (!handle_) {
        const char* why = dlerror();
        throw HostError("cannot load module file " + path.string() + ": " + (why ? why : "unknown error"));
    }
}

ModuleFile::~ModuleFile()
{
    if (handle_)
        dlclose(handle_);
    if (!copyFolder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(copyFolder_, ignored);
    }
}

void* ModuleFile::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace devhost

#endif
