// devhost: runs Vardex_Instr the way the simulator does, on a panel and a
// scripted flight, and tells what the panel shows.
//
//   devhost list | vars | events | describe GAUGE
//   devhost run    [--panel FILE] [--flight FILE] [--frames N | --seconds S] [--json | --json-lines] [--every N] [--records]
//   devhost click  --gauge NAME --at X,Y [--right] [state options] [--json]
//   devhost hover  --gauge NAME --at X,Y [state options]
//   devhost render [--window N | --gauge NAME] [state options] [--night | --light LEVEL] -o out.png
//   devhost render ... --from T0 [--to T1] [--every DT] [--speed X] -o flight.webp|frames/
//   devhost serve  [--panel FILE] [--flight FILE] [--module FILE] [--port N] [--bind ADDRESS]
//   devhost reference [--module FILE] -o DIR
//
// State options (gauge_state.h): --panel, --flight, --at/--time, --set,
// --click, --param, --frames.
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

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string_view>

#include "devhost/app/catalog_command.h"
#include "devhost/app/gauge_state.h"
#include "devhost/app/panel_command.h"
#include "devhost/app/panel_report.h"
#ifdef VARDEX_DEVHOST_RENDER
#include "devhost/app/reference_command.h"
#include "devhost/app/render_command.h"
#endif
#include "devhost/core/host.h"
#include "devhost/core/input_error.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/flight/flight.h"
#include "devhost/flight/snapshot_json.h"
#ifdef VARDEX_DEVHOST_SERVE
#include "devhost/serve/panel_server.h"
#endif

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
    bool sound = false;
    int screenWidth = PanelScreenWidth;
    bool lenient = false;
};

void addModule(CLI::App& command, Common& common)
{
    command.add_option("--module", common.module, "module file (default: the built Vardex_Instr.so)");
    command.add_flag("--sound", common.sound, "play the switches' clicks on the default audio device");
}

#ifndef _WIN32
// The commands run the panel faster than real time, where clicks would pile
// up into noise, and most machines that run them have no sound card: unless
// the user names a driver or asks for sound, SDL is told of a driver it does
// not have, so the module opens no device (and no audio thread to wait for
// at exit) and its switches work on in silence.
void chooseAudio(const Common& common)
{
    constexpr const char* NoAudioDriver = "none";
    if (!common.sound)
        setenv("SDL_AUDIODRIVER", NoAudioDriver, /*overwrite=*/0);
}
#endif

void addPanel(CLI::App& command, Common& common)
{
    command.add_option("--panel", common.panel, "panel file (default: the built-in panel with all 41 gauges)");
    addPanelReadingOptions(command, common.screenWidth);
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
    ReportOptions report;
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
            uint64_t f = runner.framesBefore(checkpoint.time);
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
    const Panel panel = choosePanel(common.panel, common.screenWidth);
    placePanelReporting(host, panel);
    const Flight flight = common.flight.empty() ? demoFlight() : loadFlight(common.flight);
    FlightRunner runner(host, flight, common.lenient);
    const uint64_t total = options.frames    ? *options.frames
                           : options.seconds ? runner.framesFor(*options.seconds)
                                             : runner.framesFor(flight.duration);

    nlohmann::json reports = nlohmann::json::array();
    size_t logShown = 0;
    EventMark mark;
    const EventFilter filter = options.report.filter();
    if (!common.json)
        std::cout << fmt::format("{} on {} ({} gauges), {} frames at {} fps\n", flight.name.empty() ? flight.source : flight.name,
                                 host.gauges().empty() ? "no panel" : std::string("the panel"), host.gauges().size(), total,
                                 host.options().framesPerSecond)
                  << describeWindows(panel) << std::flush;  // a long run says at once what it is doing
    for (const ReportPoint& point : reportPoints(flight, runner, total, options.every)) {
        runner.run(point.frame - host.frameNumber());
        Snapshot snapshot = probeForReport(host, mark, filter);
        if (common.json) {
            nlohmann::json log = nlohmann::json::array();
            for (size_t i = logShown; i < runner.log().size(); ++i)
                log.push_back(toJson(runner.log()[i]));
            nlohmann::json report{{"label", point.label}, {"snapshot", toJson(snapshot)}, {"flight_log", log}};
            if (options.jsonLines) {
                // Each line as it is made: a long run streams, and its lines
                // stay of one size, since each carries the events since the
                // line before.
                std::cout << report.dump() << '\n';
            } else {
                reports.push_back(report);
            }
        } else {
            std::cout << "\n== " << point.label << " ==\n";
            for (size_t i = logShown; i < runner.log().size(); ++i)
                std::cout << fmt::format("  flight: frame {:>6}  {}\n", runner.log()[i].frame, runner.log()[i].what);
            std::cout << describePanel(snapshot, options.report);
        }
        logShown = runner.log().size();
    }
    if (common.json && !options.jsonLines)
        std::cout << nlohmann::json{{"flight", flight.name}, {"reports", reports}}.dump(2) << "\n";
    return 0;
}

// ---------------------------------------------------------------- click and hover

struct PointerOptions {
    StateOptions state;
    std::string at;
    bool right = false;
    ReportOptions report;
};

int click(const Common& common, const PointerOptions& options)
{
    const ClickPoint point = parseClickPoint(options.at + (options.right ? ",right" : ""), "--at");
    BuiltState state = buildState(options.state);
    Host& host = *state.host;
    GaugeInstance& gauge = *state.gauge;
    EventMark mark;
    host.eventsSince(mark);
    ClickResult result = host.clickGaugePixel(gauge, point.at, point.right ? ClickRight : ClickLeft);
    host.frame();
    const EventFilter filter = options.report.filter();
    Snapshot snapshot = probeForReport(host, mark, filter);
    const GaugeSnapshot* shown = nullptr;
    for (const GaugeSnapshot& g : snapshot.gauges)
        if (g.name == gauge.name() && g.window == gauge.window() && g.x == gauge.position().x &&
            g.y == gauge.position().y)
            shown = &g;
    if (common.json) {
        nlohmann::json events = nlohmann::json::array();
        for (const EventRecord& event : snapshot.events)
            events.push_back(toJson(event));
        std::cout << nlohmann::json{{"clicks_before", state.clicks},
                                    {"hit", result.hit},
                                    {"handled", result.handled},
                                    {"key_event", result.keyEvent},
                                    {"area", result.areaIndex},
                                    {"events", events},
                                    {"gauge", shown ? toJson(*shown) : nlohmann::json()}}
                         .dump(2)
                  << "\n";
        return 0;
    }
    for (const std::string& before : state.clicks)
        std::cout << "before: " << before << "\n";
    std::cout << describeClick(result, point) << " on " << gauge.name() << "\n";
    std::cout << describeEvents(snapshot.events, filter);
    if (shown)
        std::cout << "after one frame: " << describeGauge(*shown, options.report) << "\n";
    return 0;
}

int hover(const PointerOptions& options)
{
    const ClickPoint point = parseClickPoint(options.at, "--at");
    BuiltState state = buildState(options.state);
    std::string text = windows1252ToUtf8(state.host->hoverGaugePixel(*state.gauge, point.at));
    std::cout << (text.empty() ? "(no tooltip)" : text) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"devhost: the development host of Vardex_Instr"};
    app.require_subcommand(1);
    app.footer("Gauge names: devhost list. What each one reads, sends and offers to the mouse: devhost describe "
               "GAUGE. Variables and the values --set takes: devhost vars. Key events: devhost events.\n"
               "A panel of one's own: --panel MyJet/panel/panel.cfg (its art, titles and virtual cockpits as the "
               "simulator reads them; other modules' gauges drawn as placeholders).\n"
               "A gauge in any state: render --gauge NAME with --flight/--at, --set and --click (each command's "
               "--help has examples); what every gauge shows, in words: devhost run.");
    Common common;
    common.module = defaultModule();

    CLI::App* listCommand = app.add_subcommand("list", "the module's gauges with their default sizes");
    addModule(*listCommand, common);

    RunOptions runOptions;
    CLI::App* runCommand = app.add_subcommand(
        "run", "run a panel through a flight and tell what each gauge reads, with the events sent\n"
               "  devhost run --seconds 60\n"
               "  devhost run --panel MyJet/panel/panel.cfg --seconds 60   (a panel of one's own)\n"
               "  devhost run --flight my_flight.json --every 180 --json --events COM_RADIO_FRACT_INC");
    addModule(*runCommand, common);
    addPanel(*runCommand, common);
    runCommand->add_option("--flight", common.flight, "flight script (default: the built-in demo flight)");
    addLenientOption(*runCommand, common.lenient);
    auto* framesOption = runCommand->add_option("--frames", runOptions.frames, "frames to run")->check(within(0, maxFrames()));
    runCommand->add_option("--seconds", runOptions.seconds, "seconds to run")
        ->check(within(0, MaxFlightSeconds, false))
        ->excludes(framesOption);
    runCommand->add_flag("--json", common.json, "print the probe as JSON");
    runCommand->add_flag("--json-lines", runOptions.jsonLines,
                         "print each report as it is made, one line of JSON, with the events since the one before");
    runCommand->add_option("--every", runOptions.every, "probe every N frames (default: at the flight's checkpoints and the end)")
        ->check(within(0, maxFrames()));
    addReportOptions(*runCommand, runOptions.report);

    PointerOptions pointer;
    CLI::App* clickCommand = app.add_subcommand(
        "click", "click a gauge in a given state and show what follows\n"
                 "  devhost click --gauge Radio_COM_SK10 --at 218,250 --right\n"
                 "  devhost click --gauge Radio_COM_SK10 --at 218,250 --set com1_freq=122.80 --json");
    CLI::App* hoverCommand = app.add_subcommand(
        "hover", "a gauge's tooltip at a point, in a given state\n"
                 "  devhost hover --gauge Radio_COM_SK10 --at 150,40 --set com1_freq=122.80");
    for (CLI::App* command : {clickCommand, hoverCommand}) {
        addModule(*command, common);
        command->add_option("--gauge", pointer.state.gauge, "gauge name, e.g. Radio_COM_SK10 (`devhost list`)")
            ->required();
        command->add_option("--at", pointer.at, "X,Y in the gauge's own pixels (`devhost describe` shows the areas)")
            ->required();
        addStateOptions(*command, pointer.state, "--time", true);
    }
    clickCommand->add_flag("--right", pointer.right, "right button (default left)");
    clickCommand->add_flag("--json", common.json, "print the outcome as JSON");
    addReportOptions(*clickCommand, pointer.report);

#ifdef VARDEX_DEVHOST_RENDER
    RenderOptions render;
    CLI::App* renderCommand = app.add_subcommand(
        "render", "a PNG of a panel window, or of one gauge at its own size, in a given state\n"
                  "  devhost render --at 180 -o panel.png                 (the main panel 180 s into the demo flight)\n"
                  "  devhost render --window 1 --at 180 -o radios.png\n"
                  "  devhost render --panel MyJet/panel/panel.cfg --window \"Radio Stack\" -o radios.png   "
                  "(by title; VC01 for [Vcockpit01])\n"
                  "  devhost render --gauge Airspeed --set airspeed=250kmh -o airspeed.png\n"
                  "  devhost render --gauge Radio_COM_SK10 --click 45,46 --click 218,250 --click 218,250 "
                  "--click 218,250 -o com.png\n"
                  "                                                        (switched on, tuned up three steps)\n"
                  "  devhost render --window 1 --at 180 --night -o radios_night.png   (or --light 0.3 at dusk)\n"
                  "  devhost render --from 60 --to 120 --every 0.5 -o climb.webp      (animated, one run of the flight)\n"
                  "  devhost render --gauge Airspeed --from 0 --to 60 -o frames/       (a PNG a second, into a folder)");
    addModule(*renderCommand, common);
    auto* gaugeOption = renderCommand->add_option("--gauge", render.gauge,
                                                  "one gauge alone, at its own size, instead of a panel window");
    renderCommand->add_option("--window", render.window,
                              "panel window: number, title or virtual cockpit (VC01) (default 0, the main panel)")
        ->excludes(gaugeOption);
    addStateOptions(*renderCommand, render, "--at,--time", true);
    renderCommand->get_option("--param")->needs(gaugeOption);
    renderCommand->get_option("--click")->needs(gaugeOption);
    renderCommand->add_option("-o,--output", render.output, "PNG file to write; for an animation a .webp file or a folder")
        ->required();
    auto* night = renderCommand->add_flag_callback("--night", [&] { render.light = 0; }, "at night, the panel lights on");
    renderCommand->add_option("--light", render.light, "light level from 0 (night) to 1 (day, the default)")
        ->excludes(night);
    auto* from = renderCommand->add_option("--from", render.from, "animate from this many seconds into the flight");
    auto* to = renderCommand->add_option("--to", render.to, "animate up to this time (default: the flight's end)");
    renderCommand->add_option("--every", render.every, "seconds of flight between pictures (default 1)");
    renderCommand->add_option("--speed", render.speed, "flight seconds per second of animation (default 1)");
    renderCommand->add_flag("--compress", render.compress, "write PNGs as small as they go (slower; default: fast)");
    renderCommand->get_option("--at")->excludes(from)->excludes(to);

    std::string referenceFolder;
    CLI::App* referenceCommand = app.add_subcommand(
        "reference", "the gauge reference: an HTML page per gauge with pictures, mouse areas, tooltips, variables "
                     "read, key events sent and parameter texts, and an index\n  devhost reference -o reference/");
    addModule(*referenceCommand, common);
    referenceCommand->add_option("-o,--output", referenceFolder, "folder to write it in (made if missing)")->required();
#endif

#ifdef VARDEX_DEVHOST_SERVE
    std::string bindAddress = "127.0.0.1";
    int port = 8080;
    CLI::App* serveCommand = app.add_subcommand("serve", "the panel live in a web page: fly it with the mouse, drive every value");
    addModule(*serveCommand, common);
    addPanel(*serveCommand, common);
    serveCommand->add_option("--flight", common.flight, "flight script to play (default: the built-in demo flight)");
    serveCommand->add_option("--port", port, "TCP port (default 8080; 0 takes a free one)")->check(CLI::Range(0, 65535));
    serveCommand->add_option("--bind", bindAddress, "address to listen on (default 127.0.0.1, this machine only)");
#endif

    CatalogCommands catalog(app, common.module);
    PanelCommands panelCommands(app, common.module);

#ifndef VARDEX_DEVHOST_RENDER
    // Said plainly, rather than CLI11's "a subcommand is required".
    if (argc > 1 && (std::string_view(argv[1]) == "render" || std::string_view(argv[1]) == "reference")) {
        std::cerr << "devhost: " << argv[1] << " is not part of this build, which has no renderer; devhost on "
                     "Linux draws (devhost " << argv[1] << " ...); this build offers list, run, click and hover\n";
        return 1;
    }
#endif
    CLI11_PARSE(app, argc, argv);
#ifndef _WIN32
    chooseAudio(common);
#endif
    try {
        if (listCommand->parsed())
            return list(common);
        if (runCommand->parsed()) {
            common.json = common.json || runOptions.jsonLines;
            return run(common, runOptions);
        }
        pointer.state.module = common.module;
        if (clickCommand->parsed())
            return click(common, pointer);
#ifdef VARDEX_DEVHOST_SERVE
        if (serveCommand->parsed())
            return runServer({.module = common.module, .panel = common.panel, .flight = common.flight,
                              .screenWidth = common.screenWidth},
                             bindAddress, port);
#endif
        if (hoverCommand->parsed())
            return hover(pointer);
#ifdef VARDEX_DEVHOST_RENDER
        render.module = common.module;
        if (renderCommand->parsed()) {
            renderToPng(render);
            return 0;
        }
        if (referenceCommand->parsed()) {
            writeReference(common.module, referenceFolder);
            return 0;
        }
#endif
        if (panelCommands.parsed())
            return panelCommands.run();
        return catalog.run();
    } catch (const CLI::Error& error) {
        return app.exit(error);
    } catch (const std::exception& error) {
        std::cerr << "devhost: " << error.what() << "\n";
        return 1;
    }
}
