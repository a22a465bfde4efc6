// `devhost list`: the module's gauges with their default sizes.
#pragma once

#include "devhost/app/common_options.h"

namespace devhost {

class ListCommand : public Command {
public:
    ListCommand(CLI::App& app, Common& common);
    int run() override;
};

}  // namespace devhost
