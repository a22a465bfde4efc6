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

class PointerCommand : public Command {
public:
    enum class Kind { Click, Hover };
    PointerCommand(CLI::App& app, Common& common, Kind kind);
    int run() override;

private:
    int click();
    int hover();

    Kind kind_;
    PointerOptions options_;
};

}  // namespace devhost
