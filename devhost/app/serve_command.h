// `devhost serve`: the panel live in a web page (devhost/serve/).
#pragma once

#include "devhost/app/common_options.h"

namespace devhost {

class ServeCommand : public Command {
public:
    ServeCommand(CLI::App& app, Common& common);
    int run() override;

private:
    std::string bindAddress_ = "127.0.0.1";
    int port_ = 8080;
    bool allowRemote_ = false;
    bool edit_ = false;
};

}  // namespace devhost
