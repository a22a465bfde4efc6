// `devhost serve` lives in a plugin beside the program (devhost_serve.so):
// cpp-httplib's library starts TLS as it is loaded, millions of
// instructions, which no command that serves nothing should pay. The
// program loads the plugin when asked to serve; the plugin holds the web
// server alone and uses the program's own host, flights and renderer.
#pragma once

#include <string>

#include "devhost/serve/live_panel.h"

// The plugin's file name, beside the program.
inline constexpr const char* ServePluginFile = "devhost_serve.so";

// What the plugin offers the program: runServer (panel_server.h) under a
// name the program looks up.
using ServePluginEntry = int (*)(const devhost::ServeOptions& options, const std::string& address, int port,
                                 bool allowRemote);
inline constexpr const char* ServePluginEntryName = "vardexRunServer";
