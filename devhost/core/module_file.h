// One loaded module file, owned: dlopen on POSIX, LoadLibrary in the Windows
// build of the development host. Nothing else in devhost_core touches the
// operating system's loader, so the Windows build only swaps this class's
// implementation file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace devhost {

class ModuleFile {
public:
    // Loads path. With privateCopy the instance is the caller's own, its
    // static data starting from its initial values however often the same
    // file is loaded in one process: on POSIX the file itself when nothing
    // in the process holds it, else a copy of it in a fresh temporary folder
    // (on Windows always the copy). Without it, the loads share one instance.
    // Throws HostError when the file cannot be loaded.
    ModuleFile(const std::filesystem::path& path, bool privateCopy);
    ~ModuleFile();
    ModuleFile(const ModuleFile&) = delete;
    ModuleFile& operator=(const ModuleFile&) = delete;

    // The address of an exported symbol, or null.
    void* symbol(const char* name) const;

    // The bytes of a numbered resource of the loaded file, of type "BITMAP"
    // or "WAVE"; empty when it has none. The native module hands them out
    // through its exported table (a bitmap as its whole .bmp file), the .gau
    // from its resource section (a bitmap without the file header).
    std::span<const unsigned char> resource(const char* type, uint32_t number) const;

    const std::filesystem::path& path() const { return path_; }  // the file as asked for
    void* handle() const { return handle_; }  // the loader's handle: the module instance

private:
    // Checks the file, and with privateCopy copies it (copyFile); returns
    // the file to load.
    std::filesystem::path prepare(bool privateCopy);
    void checkFile() const;
    // Copies the file into a fresh folder (copyFolder_); returns the copy.
    std::filesystem::path copyFile();
    void removeCopy();
    void* loadInstance();  // POSIX: a new instance, of the file or a copy

    std::filesystem::path path_;
    std::filesystem::path copyFolder_;  // empty when the original was loaded
    void* handle_ = nullptr;
    bool shared_ = false;               // POSIX: the instance is shared with other loads
};

}  // namespace devhost
