// devhost: runs Vardex_Instr the way the simulator does, on a panel and a
// scripted flight, and tells what the panel shows.
//
//   devhost list   [--module FILE]
//   devhost run    [--module FILE] [--panel FILE] [--flight FILE] [--frames N | --seconds S] [--json | --json-lines] [--every N]
//   devhost click  --gauge NAME --at X,Y [--right] [--frames N] [--module FILE] [--panel FILE] [--json]
//   devhost hover  --gauge NAME --at X,Y [--frames N] [--module FILE] [--panel FILE]
//   devhost render [--panel FILE] [--flight FILE] [--at SECONDS] [--window N] -o out.png
//   devhost render --gauge NAME [--param TEXT] [--set VAR=VALUE ...] [--frames N] -o out.png
//
// Click and hover positions are in the gauge's own pixels, as its mouse
// areas are given.
//
// devhost.exe, the Windows build, drives Vardex_Instr.gau (under Wine on
// Linux); it has every command but those that draw, which only a build
// with the renderer (VARDEX_DEVHOST_RENDER) compiles in.
#include <CLI/CLI.hpp>
#include <fmt/format.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "devhost/app/panel_report.h"
#ifdef VARDEX_DEVHOST_RENDER
#include "devhost/app/render_command.h"
#endif
#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/flight/flight.h"
#include "devhost/flight/snapshot_json.h"

namespace {

using namespace devhost;

// The module beside the program's build tree (build/devhost/devhost ->
// build/Vardex_Instr.so), or for devhost.exe in the program's own folder,
// where a simmer puts the two; unless VARDEX_MODULE names another.
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

struct Common {
    std::string module;
    std::string panel;
    std::string flight;
    bool json = false;
};

void addModule(CLI::App& command, Common& common)
{
    command.add_option("--module", common.module, "module file (default: the built Vardex_Instr.so)");
}

void addPanel(CLI::App& command, Common& common)
{
    command.add_option("--panel", common.panel, "panel file (default: the built-in panel with all 41 gauges)");
}

Panel choosePanel(const Common& common)
{
    return common.panel.empty() ? defaultPanel() : loadPanel(common.panel);
}

void placePanel(Host& host, const Panel& panel)
{
    for (const PanelWarning& warning : panel.warnings)
        std::cerr << fmt::format("devhost: {}:{}: {}\n", panel.source, warning.line, warning.message);
    for (const std::string& skipped : host.placePanel(panel))
        std::cerr << fmt::format("devhost: {}: {} belongs to another module; skipped\n", panel.source, skipped);
}

Point parsePoint(const std::string& text)
{
    int x = 0, y = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d,%d%c", &x, &y, &end) != 2)
        throw CLI::ValidationError("--at", "expected X,Y in gauge pixels, e.g. 218,250");
    return {x, y};
}

// ---------------------------------------------------------------- list

int list(const Common& common)
{
    Host host(common.module);
    std::cout << fmt::format("{:<26} {:>7} {:>11}  {}\n", "gauge", "size mm", "pixels", "callback");
    for (const GaugeInfo& g : host.gaugeList()) {
        std::string pixels = g.width > 0 ? fmt::format("{}x{}", g.width, g.height) : "-";
        std::cout << fmt::format("{:<26} {:>7} {:>11}  {}\n", g.name, g.defaultSize, pixels,
                                 g.hasCallback ? "yes" : "no");
    }
    return 0;
}

// ---------------------------------------------------------------- run

struct RunOptions {
    std::optional<uint64_t> frames;
    std::optional<double> seconds;
    uint64_t every = 0;
    bool jsonLines = false;
};

struct ReportPoint {
    uint64_t frame;
    std::string label;
};

std::vector<ReportPoint> reportPoints(const Flight& flight, const FlightRunner& runner, uint64_t total,
                                      uint64_t every)
{
    std::vector<ReportPoint> points;
    if (every > 0) {
        for (uint64_t f = every; f <= total; f += every)
            points.push_back({f, fmt::format("frame {}", f)});
    } else {
        for (const Checkpoint& checkpoint : flight.checkpoints) {
            uint64_t f = std::max<uint64_t>(1, runner.framesFor(checkpoint.time));
            if (f <= total && (points.empty() || points.back().frame < f))
                points.push_back({f, fmt::format("{:.0f} s: {}", checkpoint.time, checkpoint.label)});
        }
    }
    if (points.empty() || points.back().frame != total)
        points.push_back({total, "end of run"});
    return points;
}

int run(const Common& common, const RunOptions& options)
{
    Host host(common.module);
    placePanel(host, choosePanel(common));
    const Flight flight = common.flight.empty() ? demoFlight() : loadFlight(common.flight);
    FlightRunner runner(host, flight);
    const uint64_t total = options.frames    ? *options.frames
                           : options.seconds ? runner.framesFor(*options.seconds)
                                             : runner.framesFor(flight.duration);

    nlohmann::json reports = nlohmann::json::array();
    size_t eventsShown = 0, logShown = 0;
    if (!common.json)
        std::cout << fmt::format("{} on {} ({} gauges), {} frames at {} fps\n", flight.name.empty() ? flight.source : flight.name,
                                 host.gauges().empty() ? "no panel" : std::string("the panel"), host.gauges().size(), total,
                                 host.options().framesPerSecond);
    for (const ReportPoint& point : reportPoints(flight, runner, total, options.every)) {
        runner.run(point.frame - host.frameNumber());
        Snapshot snapshot = host.probe();
        if (common.json) {
            nlohmann::json log = nlohmann::json::array();
            for (size_t i = logShown; i < runner.log().size(); ++i)
                log.push_back(toJson(runner.log()[i]));
            nlohmann::json report{{"label", point.label}, {"snapshot", toJson(snapshot)}, {"flight_log", log}};
            if (options.jsonLines) {
                // Each line as it is made, with the events since the line
                // before: a long run's lines stay of one size.
                nlohmann::json events = nlohmann::json::array();
                for (size_t i = eventsShown; i < snapshot.events.size(); ++i)
                    events.push_back(toJson(snapshot.events[i]));
                report["snapshot"]["events"] = events;
                std::cout << report.dump() << '\n';
            } else {
                reports.push_back(report);
            }
        } else {
            std::cout << "\n== " << point.label << " ==\n";
            for (size_t i = logShown; i < runner.log().size(); ++i)
                std::cout << fmt::format("  flight: frame {:>6}  {}\n", runner.log()[i].frame, runner.log()[i].what);
            std::cout << describePanel(snapshot, eventsShown);
        }
        eventsShown = snapshot.events.size();
        logShown = runner.log().size();
    }
    if (common.json && !options.jsonLines)
        std::cout << nlohmann::json{{"flight", flight.name}, {"reports", reports}}.dump(2) << "\n";
    return 0;
}

// ---------------------------------------------------------------- click and hover

struct PointerOptions {
    std::string gauge;
    std::string at;
    bool right = false;
    uint64_t frames = 1;
};

// The panel set up and run for the frames asked, and the gauge pointed at
// (placed alone when the panel lacks it).
struct Pointing {
    std::unique_ptr<Host> host;
    GaugeInstance* gauge = nullptr;
    Point at{};
};

Pointing pointAt(const Common& common, const PointerOptions& options)
{
    Pointing pointing{.at = parsePoint(options.at)};
    pointing.host = std::make_unique<Host>(common.module);
    placePanel(*pointing.host, choosePanel(common));
    pointing.gauge = pointing.host->find(options.gauge);
    if (!pointing.gauge)
        pointing.gauge = &pointing.host->place(options.gauge);
    pointing.host->frame(static_cast<int>(options.frames));
    return pointing;
}

int click(const Common& common, const PointerOptions& options)
{
    auto [host, gauge, at] = pointAt(common, options);
    const size_t before = host->events().size();
    ClickResult result = host->clickGaugePixel(*gauge, at, options.right ? ClickRight : ClickLeft);
    host->frame();
    if (common.json) {
        nlohmann::json events = nlohmann::json::array();
        for (size_t i = before; i < host->events().size(); ++i)
            events.push_back(toJson(host->events()[i]));
        std::cout << nlohmann::json{{"hit", result.hit},
                                    {"handled", result.handled},
                                    {"key_event", result.keyEvent},
                                    {"area", result.areaIndex},
                                    {"events", events},
                                    {"gauge", toJson(host->probe(*gauge))}}
                         .dump(2)
                  << "\n";
        return 0;
    }
    std::cout << fmt::format("{} click on {} at ({},{}): {}\n", options.right ? "right" : "left", options.gauge, at.x,
                             at.y,
                             !result.hit      ? "no area there"
                             : result.handled ? fmt::format("handled by area {}", result.areaIndex)
                                              : fmt::format("area {} sends key event {}", result.areaIndex, result.keyEvent));
    Snapshot snapshot = host->probe();
    std::cout << describeEvents(snapshot, before);
    std::cout << "after one frame: " << describeGauge(host->probe(*gauge)) << "\n";
    return 0;
}

int hover(const Common& common, const PointerOptions& options)
{
    auto [host, gauge, at] = pointAt(common, options);
    std::string text = windows1252ToUtf8(host->hoverGaugePixel(*gauge, at));
    std::cout << (text.empty() ? "(no tooltip)" : text) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"devhost: the development host of Vardex_Instr"};
    app.require_subcommand(1);
    Common common;
    common.module = defaultModule();

    CLI::App* listCommand = app.add_subcommand("list", "the module's gauges with their default sizes");
    addModule(*listCommand, common);

    RunOptions runOptions;
    CLI::App* runCommand = app.add_subcommand("run", "run a panel through a flight and show what it displays");
    addModule(*runCommand, common);
    addPanel(*runCommand, common);
    runCommand->add_option("--flight", common.flight, "flight script (default: the built-in demo flight)");
    auto* framesOption = runCommand->add_option("--frames", runOptions.frames, "frames to run");
    runCommand->add_option("--seconds", runOptions.seconds, "seconds to run")->excludes(framesOption);
    runCommand->add_flag("--json", common.json, "print the probe as JSON");
    runCommand->add_flag("--json-lines", runOptions.jsonLines,
                         "print each report as it is made, one line of JSON, with the events since the one before");
    runCommand->add_option("--every", runOptions.every, "probe every N frames (default: at the flight's checkpoints and the end)");

    PointerOptions pointer;
    CLI::App* clickCommand = app.add_subcommand("click", "click a gauge and show what follows");
    CLI::App* hoverCommand = app.add_subcommand("hover", "show a gauge's tooltip at a point");
    for (CLI::App* command : {clickCommand, hoverCommand}) {
        addModule(*command, common);
        addPanel(*command, common);
        command->add_option("--gauge", pointer.gauge, "gauge name, e.g. Radio_COM_SK10")->required();
        command->add_option("--at", pointer.at, "X,Y in the gauge's own pixels")->required();
        command->add_option("--frames", pointer.frames, "frames to run first (default 1)");
    }
    clickCommand->add_flag("--right", pointer.right, "right button (default left)");
    clickCommand->add_flag("--json", common.json, "print the outcome as JSON");

#ifdef VARDEX_DEVHOST_RENDER
    RenderOptions render;
    CLI::App* renderCommand =
        app.add_subcommand("render", "a PNG of a panel window during a flight, or of one gauge at its own size");
    addModule(*renderCommand, common);
    addPanel(*renderCommand, common);
    renderCommand->add_option("--flight", common.flight, "flight script (default: the built-in demo flight)");
    renderCommand->add_option("--at", render.at, "seconds into the flight (default 0)");
    renderCommand->add_option("--window", render.window, "panel window number (default 0, the main panel)");
    renderCommand->add_option("--gauge", render.gauge, "one gauge alone, at its own size, instead of the panel");
    renderCommand->add_option("--param", render.parameter, "the gauge's parameter text");
    renderCommand->add_option("--set", render.settings, "host variable by name or number, e.g. airspeed=250 or 23=0x1802");
    renderCommand->add_option("--frames", render.frames, "frames run after the settings (default 18, one second)");
    renderCommand->add_option("-o,--output", render.output, "PNG file to write")->required();
#endif

#ifndef VARDEX_DEVHOST_RENDER
    // Said plainly, rather than CLI11's "a subcommand is required".
    if (argc > 1 && std::string_view(argv[1]) == "render") {
        std::cerr << "devhost: render is not part of this build, which has no renderer; devhost on Linux draws "
                     "the panel (devhost render ...); this build offers list, run, click and hover\n";
        return 1;
    }
#endif
    CLI11_PARSE(app, argc, argv);
#ifndef _WIN32
    // The commands run the panel faster than real time, where clicks would
    // pile up into noise, and most machines that run them have no sound card:
    // the module's sound goes to SDL's silent driver unless the user names one.
    setenv("SDL_AUDIODRIVER", "dummy", /*overwrite=*/0);
#endif
    try {
        if (listCommand->parsed())
            return list(common);
        if (runCommand->parsed()) {
            common.json = common.json || runOptions.jsonLines;
            return run(common, runOptions);
        }
        if (clickCommand->parsed())
            return click(common, pointer);
#ifdef VARDEX_DEVHOST_RENDER
        if (renderCommand->parsed()) {
            render.module = common.module;
            render.panel = common.panel;
            render.flight = common.flight;
            renderToPng(render);
            return 0;
        }
#endif
        return hover(common, pointer);
    } catch (const CLI::Error& error) {
        return app.exit(error);
    } catch (const std::exception& error) {
        std::cerr << "devhost: " << error.what() << "\n";
        return 1;
    }
}
