// `devhost panel show|move|add|remove|window FILE ...`: a panel file's
// layout as a table with what a designer should look at, and edits that
// rewrite only the lines they change (panel_document.h), for scripts.
#pragma once

#include <CLI/CLI.hpp>

#include <optional>
#include <string>
#include <vector>

#include "devhost/core/panel_document.h"

namespace devhost {

class PanelCommands {
public:
    // Adds `panel` and its subcommands to app.
    PanelCommands(CLI::App& app, const std::string& defaultModule);

    bool parsed() const { return panel_->parsed(); }
    int run() const;  // the parsed one; throws as the other commands do

private:
    std::vector<PanelEdit> edits(const PanelDocument& document) const;   // the parsed one's, decoded

    CLI::App* panel_;
    CLI::App *show_, *move_, *add_, *remove_, *window_;
    std::string module_;
    std::string file_;
    std::string gauge_;                // a name, module!gauge or gaugeNN
    std::string to_;                   // X,Y[,W,H]
    std::string window_text_;          // number or title
    std::string into_;                 // move: another window
    bool force_ = false;
    bool renumber_ = false;
    int screenWidth_ = 1024;   // PanelScreenWidth
    // panel window
    std::string sizeMm_, background_, bitmap_, title_;
    std::optional<int> position_, visible_;
    bool newWindow_ = false;
};

}  // namespace devhost
