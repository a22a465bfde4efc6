// devhost: runs Vardex_Instr the way the simulator does, on a panel and a
// scripted flight, and tells what the panel shows. Each command is a unit
// of its own (*_command.h); `devhost COMMAND --help` tells its options.
//
//   devhost list | vars | events | describe GAUGE
//   devhost run    [--panel FILE] [--flight FILE] [--frames N | --seconds S | --at T] [--every S] [--json] [--junit FILE]
//   devhost click  --gauge NAME --at X,Y [--right] [state options] [--json]
//   devhost hover  --gauge NAME --at X,Y [state options]
//   devhost render [--window N | --gauge NAME] [state options] [--night | --light LEVEL] -o out.png|out.webp
//   devhost render ... --from T0 [--to T1] [--every DT] [--speed X] -o flight.webp|frames/
//   devhost serve  [--panel FILE] [--flight FILE] [--module FILE] [--port N] [--bind ADDRESS [--allow-remote]]
//   devhost reference [--module FILE] -o DIR
//   devhost panel show|move|add|remove|window FILE ...
//
// devhost.exe, the Windows build, drives Vardex_Instr.gau (under Wine on
// Linux); it has every command but those that draw, which only a build
// with the renderer (VARDEX_DEVHOST_RENDER) compiles in.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "devhost/core/module_gauges.h"
#include "devhost/app/catalog_command.h"
#include "devhost/app/common_options.h"
#include "devhost/app/list_command.h"
#include "devhost/app/panel_command.h"
#include "devhost/app/pointer_commands.h"
#include "devhost/app/run_command.h"
#ifdef VARDEX_DEVHOST_RENDER
#include "devhost/app/reference_command.h"
#include "devhost/app/render_command.h"
#endif
#ifdef VARDEX_DEVHOST_SERVE
#include "devhost/app/serve_command.h"
#endif

int main(int argc, char** argv)
{
    using namespace devhost;
    CLI::App app{"devhost: the development host of " + std::string(ModuleName)};
    app.require_subcommand(1);
    app.footer("Gauge names: devhost list. What each one reads, sends and offers to the mouse: devhost describe "
               "GAUGE. Variables and the values --set takes: devhost vars. Key events: devhost events.\n"
               "A panel of one's own: --panel MyJet/panel/panel.cfg (its art, titles and virtual cockpits as the "
               "simulator reads them; other modules' gauges drawn as placeholders).\n"
               "A gauge in any state: render --gauge NAME with --flight/--at, --set and --click (each command's "
               "--help has examples); what every gauge shows, in words: devhost run.");
    Common common{.module = defaultModule()};

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<ListCommand>(app, common));
    commands.push_back(std::make_unique<RunCommand>(app, common));
    commands.push_back(std::make_unique<PointerCommand>(app, common, PointerCommand::Kind::Click));
    commands.push_back(std::make_unique<PointerCommand>(app, common, PointerCommand::Kind::Hover));
#ifdef VARDEX_DEVHOST_RENDER
    commands.push_back(std::make_unique<RenderCommand>(app, common));
    commands.push_back(std::make_unique<ReferenceCommand>(app, common));
#endif
#ifdef VARDEX_DEVHOST_SERVE
    commands.push_back(std::make_unique<ServeCommand>(app, common));
#endif
    CatalogCommands catalog(app, common.module);
    PanelCommands panel(app, common.module);

#ifndef VARDEX_DEVHOST_RENDER
    // Said plainly, rather than CLI11's "a subcommand is required".
    if (argc > 1 && (std::string_view(argv[1]) == "render" || std::string_view(argv[1]) == "reference")) {
        std::cerr << "devhost: " << argv[1] << " is not part of this build, which has no renderer; devhost on "
                     "Linux draws (devhost " << argv[1] << " ...); this build offers list, run, click and hover\n";
        return 1;
    }
#endif
    CLI11_PARSE(app, argc, argv);
    chooseAudio(common);
    try {
        for (const std::unique_ptr<Command>& command : commands)
            if (command->parsed())
                return command->run();
        if (panel.parsed())
            return panel.run();
        return catalog.run();
    } catch (const CLI::Error& error) {
        return app.exit(error);
    } catch (const std::exception& error) {
        std::cerr << "devhost: " << error.what() << "\n";
        return 1;
    }
}
