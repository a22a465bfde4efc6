// What every command of the devhost program shares: the module, the panel,
// the flight, sound, and the shape of a command's unit.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "devhost/core/panel_file.h"

namespace devhost {

struct Common {
    std::string module;
    std::string panel;
    std::string flight;
    bool sound = false;                  // --sound
    bool mayPlay = false;                // the command run is one that plays the clicks when asked
    int screenWidth = PanelScreenWidth;  // chooses among a window's file_NNNN= backgrounds
    bool lenient = false;                // a user's flight passes over actions on absent gauges
    std::string jsbsim;                  // the flight model's program (--jsbsim)
};

// The module beside the program's build tree (build/devhost/devhost ->
// build/Vardex_Instr.so), or for devhost.exe in the program's own folder;
// unless VARDEX_MODULE names another.
std::string defaultModule();

// Whether a command plays the switches' clicks when asked to: those that
// only draw or list never do, and take no --sound.
enum class Sound { OnRequest, Never };

void addModule(CLI::App& command, Common& common, Sound sound = Sound::OnRequest);
void addPanel(CLI::App& command, Common& common);
Panel choosePanel(const Common& common);

// Unless the command plays and sound is asked for, SDL is told of a driver
// it does not have (see the definition), so that no audio device opens.
void chooseAudio(const Common& common);

// Each command is a unit that adds its subcommand to the program (in its
// constructor) and runs it when parsed.
class Command {
public:
    Command(CLI::App* command, Common& common) : command_(command), common_(common) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    bool parsed() const { return command_->parsed(); }
    virtual int run() = 0;  // throws (InputError, HostError, std::runtime_error) naming what is wrong

protected:
    CLI::App* command_;
    Common& common_;
};

}  // namespace devhost
