// `devhost click` and `devhost hover`: a gauge in a given state (see
// gauge_state.h), clicked or hovered at a point in its own pixels.
#pragma once

#include "devhost/app/common_options.h"
#include "devhost/app/gauge_state.h"
#include "devhost/app/panel_report.h"

namespace devhost {

struct PointerOptions {
    StateOptions state;
    std::string at;
    bool right = false;
    bool json = false;
    ReportOptions report;
};

class ClickCommand : public Command {
public:
    ClickCommand(CLI::App& app, Common& common);
    bool parsed() const override { return command_->parsed(); }
    int run() override;

private:
    CLI::App* command_;
    Common& common_;
    PointerOptions options_;
};

class HoverCommand : public Command {
public:
    HoverCommand(CLI::App& app, Common& common);
    bool parsed() const override { return command_->parsed(); }
    int run() override;

private:
    CLI::App* command_;
    Common& common_;
    PointerOptions options_;
};

}  // namespace devhost
