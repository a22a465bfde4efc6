// Only a build with the live server (VARDEX_DEVHOST_SERVE) compiles this in.
#ifdef VARDEX_DEVHOST_SERVE
#include "devhost/app/serve_command.h"

#include "devhost/serve/panel_server.h"

namespace devhost {

ServeCommand::ServeCommand(CLI::App& app, Common& common)
    : Command(app.add_subcommand("serve", "the panel live in a web page: fly it with the mouse, drive every value"), common)
{
    addModule(*command_, common_);
    addPanel(*command_, common_);
    command_->add_option("--flight", common_.flight, "flight script to play (default: the built-in demo flight)");
    command_->add_option("--port", port_, "TCP port (default 8080; 0 takes a free one)")->check(CLI::Range(0, 65535));
    command_->add_option("--bind", bindAddress_, "address to listen on (default 127.0.0.1, this machine only)");
    command_->add_flag("--allow-remote", allowRemote_,
                       "serve to the network when --bind is not a loopback address (with a key)");
    command_->add_flag("--edit", edit_,
                       "open the page in edit mode: lay out the --panel file's windows and gauges on the running "
                       "panel (drag, resize, add, remove, undo) and save it, only the lines changed, a .bak kept; "
                       "the page's Edit switch does the same");
}

int ServeCommand::run()
{
    return runServer({.module = common_.module, .panel = common_.panel, .flight = common_.flight,
                      .screenWidth = common_.screenWidth, .edit = edit_},
                     bindAddress_, port_, allowRemote_);
}

}  // namespace devhost
#endif
