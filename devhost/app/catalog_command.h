// `devhost vars`, `devhost events` and `devhost describe GAUGE`: what the
// development host knows of the simulation and of each gauge.
#pragma once

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <string>

namespace devhost {

// What `devhost describe --json` prints of one gauge, placed alone with the
// parameter text: size, parameter forms, variables read, key events sent,
// mouse areas (with cursors, tooltips as shown, what a click sends), bitmaps
// and what is lit at night. The reference pages are made from it too.
nlohmann::ordered_json describeGauge(const std::string& module, const std::string& name,
                                     const std::string& parameter);

class CatalogCommands {
public:
    // Adds the three subcommands to app.
    CatalogCommands(CLI::App& app, const std::string& defaultModule);

    bool parsed() const;
    int run() const;  // the parsed one; throws as the other commands do

private:
    CLI::App* vars_;
    CLI::App* events_;
    CLI::App* describe_;
    std::string module_;
    std::string gauge_;
    std::string parameter_;
    bool json_ = false;
};

}  // namespace devhost
