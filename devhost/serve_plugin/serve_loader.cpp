// The program's side: runServer loads the plugin and hands over to it.
#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

#include "devhost/serve/panel_server.h"
#include "devhost/serve_plugin/serve_plugin.h"

namespace devhost {

int runServer(const ServeOptions& options, const std::string& address, int port, bool allowRemote)
{
    const std::filesystem::path plugin = std::filesystem::read_symlink("/proc/self/exe").parent_path() / ServePluginFile;
    // Kept loaded until the process ends: the server's threads run in it.
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw std::runtime_error("cannot load the web server " + plugin.string() + ": " + dlerror());
    auto entry = reinterpret_cast<ServePluginEntry>(dlsym(library, ServePluginEntryName));
    if (!entry)
        throw std::runtime_error(plugin.string() + " offers no " + ServePluginEntryName);
    return entry(options, address, port, allowRemote);
}

}  // namespace devhost
