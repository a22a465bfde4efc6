// `devhost run`: a panel through a flight, telling what each gauge reads at
// the flight's checkpoints (or every so often, or at one moment), with the
// events sent; and checking what the checkpoints expect, for CI as JUnit
// XML or TAP.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devhost/app/common_options.h"
#include "devhost/app/panel_report.h"

namespace devhost {

struct RunOptions {
    std::optional<uint64_t> frames;
    std::optional<double> seconds;
    std::optional<double> at;           // one report, at this moment
    std::optional<double> every;        // seconds between reports
    std::optional<uint64_t> everyFrames;
    ReportOptions report;
    bool json = false;
    bool jsonLines = false;
    bool tap = false;
    std::string junit;                  // file for the JUnit XML report
};

class RunCommand : public Command {
public:
    RunCommand(CLI::App& app, Common& common);
    // 1 when an expectation failed.
    int run() override;

private:
    RunOptions options_;
};

}  // namespace devhost
