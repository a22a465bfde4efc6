#ifndef _WIN32

#include <dlfcn.h>
#include <sys/stat.h>

#include <compare>
#include <fstream>
#include <map>
#include <mutex>
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

// The identity the loader knows a file by.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    auto operator<=>(const FileId&) const = default;
};

FileId fileId(const std::filesystem::path& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return {};
    return {status.st_dev, status.st_ino};
}

// Whether the loader holds the file already, and so would hand out the
// instance it has instead of mapping the file anew.
bool resident(const std::filesystem::path& path)
{
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

// The instances that the loads without a private copy share, by file. The
// loader's own sharing will not do: it would also hand them the instance a
// private load holds. The loader is one per process, so this is too, and
// its lock keeps a look at the loader and the load that follows together.
class SharedInstances {
public:
    static SharedInstances& ofProcess()
    {
        static SharedInstances instances;
        return instances;
    }

    std::mutex& lock() { return lock_; }

    // The shared instance of the file, taken once more; null when none.
    void* take(FileId file)
    {
        auto found = byFile_.find(file);
        if (found == byFile_.end())
            return nullptr;
        ++found->second.holders;
        return found->second.handle;
    }

    void add(FileId file, void* handle) { byFile_[file] = {handle, 1}; }

    // Gives the instance back; true when it was the last holder of it.
    bool release(void* handle)
    {
        for (auto entry = byFile_.begin(); entry != byFile_.end(); ++entry)
            if (entry->second.handle == handle) {
                if (--entry->second.holders > 0)
                    return false;
                byFile_.erase(entry);
                return true;
            }
        return true;
    }

private:
    struct Instance {
        void* handle;
        int holders;
    };
    std::mutex lock_;
    std::map<FileId, Instance> byFile_;
};

}  // namespace

ModuleFile::ModuleFile(const std::filesystem::path& path, bool privateCopy) : path_(path)
{
    checkFile();
    // The loader would only say "invalid ELF header" of the file users
    // install: say which build it is and what loads it.
    if (isWindowsFile(path))
        throw HostError("module file " + path.string() +
                        " is the Windows build of the module (the .gau the simulator loads); this devhost loads "
                        "the Linux build, " + std::string(ModuleName) + ".so. Run the Windows development host on it: wine devhost.exe "
                        "list --module " + path.string());
    SharedInstances& instances = SharedInstances::ofProcess();
    const std::lock_guard lock(instances.lock());
    const FileId file = fileId(path);
    if (!privateCopy)
        handle_ = instances.take(file);
    if (!handle_) {
        handle_ = loadInstance();
        if (!privateCopy)
            instances.add(file, handle_);
    }
    shared_ = !privateCopy;
}

void* ModuleFile::loadInstance()
{
    // The file itself loads as a new instance unless the process holds it
    // already (another host, or a module the loader cannot unload); then a
    // copy in a folder of its own does, the bytes copied once more.
    const std::filesystem::path file = resident(path_) ? copyFile() : path_;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    // The mapping outlives the file: the copy goes at once, so that a test
    // that aborts leaves nothing behind.
    removeCopy();
    if (!handle) {
        // The loader names the file it was given, the private copy; the
        // user knows only their own.
        const char* error = dlerror();
        std::string why = error ? error : "unknown error";
        const std::string copy = file.string(), original = path_.string();
        for (size_t at = why.find(copy); file != path_ && at != std::string::npos;
             at = why.find(copy, at + original.size()))
            why.replace(at, copy.size(), original);
        throw HostError("cannot load module file " + path_.string() + ": " + why);
    }
    return handle;
}

ModuleFile::~ModuleFile()
{
    if (!handle_)
        return;
    SharedInstances& instances = SharedInstances::ofProcess();
    const std::lock_guard lock(instances.lock());
    if (!shared_ || instances.release(handle_))
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
