#include "devhost/core/module_file.h"

#include <random>
#include <system_error>

#include "devhost/core/host_error.h"

namespace devhost {

std::filesystem::path ModuleFile::prepare(bool privateCopy)
{
    checkFile();
    return privateCopy ? copyFile() : path_;
}

void ModuleFile::checkFile() const
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path_, error);
    if (!std::filesystem::exists(status))
        throw HostError("module file " + path_.string() + " does not exist");
    if (std::filesystem::is_directory(status))
        throw HostError("module file " + path_.string() + " is a folder, not a module file");
    if (!std::filesystem::is_regular_file(status))
        throw HostError("module file " + path_.string() + " is not a regular file");
}

std::filesystem::path ModuleFile::copyFile()
{
    // The loader knows a library by its file: a copy in a folder of its own
    // loads as a new module, with fresh static data.
    std::error_code error;
    std::random_device random;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 100 && copyFolder_.empty(); ++attempt) {
        std::filesystem::path folder = temp / ("devhost-module-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder, error))
            copyFolder_ = folder;
    }
    if (copyFolder_.empty())
        throw HostError("cannot create a temporary folder for a private copy of the module");
    std::filesystem::path copy = copyFolder_ / path_.filename();
    if (!std::filesystem::copy_file(path_, copy, error)) {
        removeCopy();
        throw HostError("cannot copy module file " + path_.string() + ": " + error.message());
    }
    return copy;
}

void ModuleFile::removeCopy()
{
    if (copyFolder_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(copyFolder_, ignored);
    copyFolder_.clear();
}

}  // namespace devhost
