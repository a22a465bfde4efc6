// The plugin's side: the entry the program looks up.
#include <type_traits>

#include "devhost/serve/panel_server.h"
#include "devhost/serve_plugin/serve_plugin.h"

extern "C" [[gnu::visibility("default")]] int vardexRunServer(const devhost::ServeOptions& options,
                                                               const std::string& address, int port,
                                                               bool allowRemote)
{
    static_assert(std::is_same_v<decltype(&vardexRunServer), ServePluginEntry>);
    return devhost::runServer(options, address, port, allowRemote);
}
