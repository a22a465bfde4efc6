// One loaded module file, owned: dlopen on POSIX, LoadLibrary in the Windows
// build of the development host. Nothing else in devhost_core touches the
// operating system's loader, so the Windows build only swaps this class's
// implementation file.
#pragma once

#include <filesystem>
#include <string>

namespace devhost {

class ModuleFile {
public:
    // Loads path. With privateCopy the file is first copied into a fresh
    // temporary folder and the copy is loaded, so that the module's static
    // data starts from its initial values however often the same file is
    // loaded in one process. Throws HostError when the file cannot be loaded.
    ModuleFile(const std::filesystem::path& path, bool privateCopy);
    ~ModuleFile();
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;

    // The address of an exported symbol, or null.
    void* symbol(const char* name) const;

    const std::filesystem::path& path() const { return path_; }  // the file as asked for
    void* handle() const { return handle_; }  // the loader's handle: the module instance

private:
    // Checks the file, and with privateCopy copies it into a fresh folder
    // (copyFolder_); returns the file to load.
    std::filesystem::path prepare(bool privateCopy);
    void removeCopy();

    std::filesystem::path path_;
    std::filesystem::path copyFolder_;  // empty when the original was loaded
    void* handle_ = nullptr;
};

}  // namespace devhost
