#include "devhost/app/render_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "devhost/app/animate_command.h"
#include "devhost/app/flight_model.h"
#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/render/animation.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/render/panel_renderer.h"

namespace devhost {

namespace {

Lighting lightingOf(const RenderOptions& options, const PanelColours& colours)
{
    return {.colours = colours, .level = checkedLightLevel(options.light, "--light")};
}

// The state before an animation: the panel, settings and clicks, but not
// the flight, which the animation plays once from its start.
BuiltState stateBeforeAnimation(const RenderOptions& options, const Panel* panel)
{
    StateOptions before = options;
    before.flight.clear();
    before.at.reset();
    if (options.settings.empty() && options.clicks.empty())
        before.frames = options.frames.value_or(0);
    return buildState(before, panel);
}

bool hasExtension(const std::string& path, std::string_view extension)
{
    std::string ending = std::filesystem::path(path).extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    return ending == extension;
}

// A single picture goes where -o says in the form its extension names.
void writePicture(cairo_surface_t* picture, const RenderOptions& options)
{
    if (hasExtension(options.output, ".webp")) {
        std::unique_ptr<AnimationSink> webp = openAnimation(options.output, 1.0, pngCompression(options));
        webp->add(picture);
        webp->finish();
    } else {
        writePng(picture, options.output, pngCompression(options));
    }
}

void checkOutput(const RenderOptions& options)
{
    if (options.output.empty())
        throw std::runtime_error("-o: give a file (.png, .webp) or, for an animation, a folder");
    if (options.animated())
        return;  // the animation's output tells its own forms
    if (!hasExtension(options.output, ".png") && !hasExtension(options.output, ".webp"))
        throw std::runtime_error(fmt::format("-o {}: a picture is written as .png or .webp; name the file so",
                                             options.output));
}

void animate(const RenderOptions& options, Host& host, const std::function<cairo_surface_t*()>& draw)
{
    const Flight flight = options.flight.empty() ? demoFlight() : loadFlight(options.flight);
    FlightRunner runner(host, flight, options.lenient,
                        flightModelFor(flight, options.jsbsim, host.options().framesPerSecond));
    animateFlight(runner, flight, options, draw);
}

void renderGaugeAlone(const RenderOptions& options)
{
    const std::optional<Panel> panel =
        options.panel.empty() ? std::nullopt : std::optional<Panel>(choosePanel(options.panel, options.screenWidth));
    const Lighting lighting = lightingOf(options, panel ? panel->colours : PanelColours{});
    const Panel* read = panel ? &*panel : nullptr;
    BuiltState state = options.animated() ? stateBeforeAnimation(options, read) : buildState(options, read);
    if (options.animated())
        checkAnimationSize(options.output, state.gauge->size().x, state.gauge->size().y);
    BitmapImages images(state.host->bitmaps());
    SurfaceHandle picture;
    auto draw = [&] {
        picture = renderGauge(*state.gauge, images, GaugeScale{}, {}, lighting);
        return picture.get();
    };
    if (options.animated())
        animate(options, *state.host, draw);
    else
        writePicture(draw(), options);
    for (int32_t bitmap : images.missing())
        std::cerr << fmt::format("devhost: {} names bitmap {}, which the module lacks\n", options.gauge, bitmap);
}

void renderPanelWindow(const RenderOptions& options)
{
    const Panel panel = choosePanel(options.panel, options.screenWidth);
    const PanelWindowSpec* window = findWindow(panel, options.window);
    if (!window)
        throw std::runtime_error(fmt::format("--window {}: {} has no such window (it has {})", options.window,
                                             panel.source, windowList(panel)));
    if (options.animated())
        checkAnimationSize(options.output, window->sizeX, window->sizeY);
    BuiltState state = options.animated() ? stateBeforeAnimation(options, &panel) : buildState(options, &panel);
    PanelRenderer renderer(*state.host);
    renderer.setLighting(lightingOf(options, panel.colours));
    const Point size{window->sizeX, window->sizeY};
    if (options.animated())
        animate(options, *state.host, [&] { return renderer.render(window->number, size); });
    else
        writePicture(renderer.render(window->number, size), options);
    for (int32_t bitmap : renderer.images().missing())
        std::cerr << fmt::format("devhost: the panel names bitmap {}, which the module lacks\n", bitmap);
}

}  // namespace

RenderCommand::RenderCommand(CLI::App& app, Common& common)
    : Command(app.add_subcommand(
          "render",
          "a PNG or WebP of a panel window, or of one gauge at its own size, in a given state\n"
          "  devhost render --at 180 -o panel.png                 (the main panel 180 s into the demo flight)\n"
          "  devhost render --window 1 --at 180 -o radios.png\n"
          "  devhost render --gauge Airspeed --set airspeed=250kmh -o airspeed.webp\n"
          "  devhost render --gauge Radio_COM_SK10 --click 45,46 --click 218,250 --click 218,250 "
          "--click 218,250 -o com.png\n"
          "                                                        (switched on, tuned up three steps)\n"
          "  devhost render --window 1 --at 180 --night -o radios_night.png   (or --light 0.3 at dusk)\n"
          "  devhost render --from 60 --to 120 --every 0.5 -o climb.webp      (animated, one run of the flight)\n"
          "  devhost render --gauge Airspeed --from 0 --to 60 -o frames/       (a PNG a second, into a folder)"), common)
{
    addModule(*command_, common_, Sound::Never);
    auto* gaugeOption = command_->add_option("--gauge", options_.gauge,
                                             "one gauge alone, at its own size, instead of a panel window");
    command_->add_option("--window", options_.window, "panel window number (default 0, the main panel)")
        ->excludes(gaugeOption);
    addStateOptions(*command_, options_, "--at,--time", true);
    command_->get_option("--param")->needs(gaugeOption);
    command_->get_option("--click")->needs(gaugeOption);
    command_->add_option("-o,--output", options_.output,
                         "file to write, .png or .webp; for an animation a .webp file or a folder")
        ->required();
    auto* night = command_->add_flag_callback("--night", [this] { options_.light = 0; }, "at night, the panel lights on");
    command_->add_option("--light", options_.light, "light level from 0 (night) to 1 (day, the default)")
        ->excludes(night);
    auto* from = command_->add_option("--from", options_.from, "animate from this many seconds into the flight");
    auto* to = command_->add_option("--to", options_.to, "animate up to this time (default: the flight's end)");
    command_->add_option("--every", options_.every, "seconds of flight between pictures (default 1)");
    command_->add_option("--speed", options_.speed, "flight seconds per second of animation, 0.01 to 1000 (default 1)")
        ->check(within(MinSpeed, MaxSpeed, false));
    command_->add_flag("--compress", options_.compress, "write PNGs as small as they go (slower; default: fast)");
    command_->get_option("--at")->excludes(from)->excludes(to);
}

int RenderCommand::run()
{
    options_.module = common_.module;
    renderToPng(options_);
    return 0;
}

void renderToPng(const RenderOptions& options)
{
    if (!options.animated() && (options.every || options.speed))
        throw std::runtime_error("--every and --speed shape an animation: give --from or --to as well");
    checkOutput(options);
    if (options.gauge.empty())
        renderPanelWindow(options);
    else
        renderGaugeAlone(options);
    releaseDrawingCaches();
}

}  // namespace devhost
