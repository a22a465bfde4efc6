#include "devhost/core/module_gauges.h"
#include "devhost/app/common_options.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>

#include "devhost/app/gauge_state.h"
#include "devhost/core/host.h"

namespace devhost {

std::string defaultModule()
{
    if (const char* path = std::getenv("VARDEX_MODULE"); path && *path)
        return path;
    std::error_code error;
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::filesystem::path beside = std::filesystem::path(std::wstring(self, length)).parent_path() / VARDEX_MODULE_NAME;
    if (length > 0 && length < MAX_PATH && std::filesystem::exists(beside, error))
        return beside.string();
#else
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::filesystem::path beside = self.parent_path().parent_path() / VARDEX_MODULE_NAME;
        if (std::filesystem::exists(beside, error))
            return beside.string();
    }
#endif
    return moduleUnderTest();
}

void addModule(CLI::App& command, Common& common, Sound sound)
{
    command.add_option("--module", common.module, "module file (default: the built " + std::string(ModuleName) + ".so)");
    if (sound == Sound::Never)
        return;
    command.add_flag("--sound", common.sound, "play the switches' clicks on the default audio device");
    command.parse_complete_callback([&common] { common.mayPlay = true; });
}

void addPanel(CLI::App& command, Common& common)
{
    command.add_option("--panel", common.panel, "panel file (default: the built-in panel with all 41 gauges)");
    addPanelReadingOptions(command, common.screenWidth);
}

Panel choosePanel(const Common& common)
{
    return choosePanel(common.panel, common.screenWidth);
}

// The commands run the panel faster than real time, where clicks would pile
// up into noise, and most machines that run them have no sound card: unless
// the user names a driver or asks for sound, SDL is told of a driver it does
// not have, so the module opens no device (and no audio thread to wait for
// at exit) and its switches work on in silence. The commands that only draw
// or list have no one to play to, whatever the driver named.
void chooseAudio(const Common& common)
{
#ifndef _WIN32
    constexpr const char* NoAudioDriver = "none";
    if (!common.mayPlay)
        setenv("SDL_AUDIODRIVER", NoAudioDriver, /*overwrite=*/1);
    else if (!common.sound)
        setenv("SDL_AUDIODRIVER", NoAudioDriver, /*overwrite=*/0);
#else
    (void)common;
#endif
}

}  // namespace devhost
