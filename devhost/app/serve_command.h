// `devhost serve`: the panel live in a web page (devhost/serve/).
#pragma once

#include "devhost/app/common_options.h"

namespace devhost {

class ServeCommand : public Command {
public:
    ServeCommand(CLI::App& app, Common& common);
    bool parsed() const override { return command_->parsed(); }
    int run() override;

private:
    CLI::App* command_;
    Common& common_;
    std::string bindAddress_ = "127.0.0.1";
    int port_ = 8080;
};

}  // namespace devhost
