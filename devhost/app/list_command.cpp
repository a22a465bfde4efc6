#include "devhost/app/list_command.h"

#include <fmt/format.h>

#include <iostream>

#include "devhost/core/host.h"

namespace devhost {

ListCommand::ListCommand(CLI::App& app, Common& common)
    : Command(app.add_subcommand("list", "the module's gauges with their default sizes"), common)
{
    addModule(*command_, common_, Sound::Never);
}

int ListCommand::run()
{
    Host host(common_.module);
    std::cout << fmt::format("{:<26} {:>7} {:>11}  {}\n", "gauge", "size mm", "pixels", "callback");
    for (const GaugeInfo& g : host.gaugeList()) {
        std::string pixels = g.width > 0 ? fmt::format("{}x{}", g.width, g.height) : "-";
        std::cout << fmt::format("{:<26} {:>7} {:>11}  {}\n", g.name, g.defaultSize, pixels,
                                 g.hasCallback ? "yes" : "no");
    }
    return 0;
}

}  // namespace devhost
