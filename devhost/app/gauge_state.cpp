#include "devhost/app/gauge_state.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <iostream>
#include <stdexcept>

#include "devhost/app/flight_model.h"
#include "devhost/core/input_error.h"
#include "devhost/core/key_events.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/values.h"
#include "devhost/flight/flight.h"

namespace devhost {

namespace {

// A pixel coordinate: a whole number that fits the host's 32 bits. Out of
// range is told apart from not a number, with the range.
std::optional<int> coordinate(std::string_view field, std::string_view name, const std::string& option,
                              const std::string& text)
{
    int value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error == std::errc::result_out_of_range)
        throw std::runtime_error(fmt::format("{} {}: {} {} is out of range: expected {} to {}", option, excerpt(text),
                                             name, excerpt(field), INT32_MIN, INT32_MAX));
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return std::nullopt;
    return value;
}

void applySetting(Host& host, const std::string& setting)
{
    try {
        for (const VariableValue& value : parseSetting(setting))
            if (!host.variables().set(value.id, value.value))
                throw ValueError(fmt::format("variable {} cannot hold {}", value.id, value.value));
    } catch (const ValueError& error) {
        throw std::runtime_error(fmt::format("--set {}: {}", setting, error.what()));
    }
}

}  // namespace

double maxFrames() { return MaxFlightSeconds * HostOptions{}.framesPerSecond; }

CLI::Validator within(double low, double high, bool whole)
{
    return CLI::Validator(
        [=](std::string& input) -> std::string {
            char* end = nullptr;
            const double value = std::strtod(input.c_str(), &end);
            if (end == input.c_str() || *end != '\0' || (whole && value != std::floor(value) && std::isfinite(value)))
                return fmt::format("'{}' is not {}", excerpt(input), whole ? "a whole number" : "a number");
            if (!(value >= low && value <= high))
                return fmt::format("{} is out of range: expected {} to {}", excerpt(input), low, high);
            return {};
        },
        fmt::format("{} to {}", low, high));
}

void placePanelReporting(Host& host, const Panel& panel)
{
    for (const PanelWarning& warning : panel.warnings)
        std::cerr << fmt::format("devhost: {}:{}: {}\n", panel.source, warning.line, warning.message);
    host.placePanel(panel);
    std::vector<std::string> told;
    for (const ForeignGauge& gauge : host.foreignGauges()) {
        if (std::find(told.begin(), told.end(), gauge.label) != told.end())
            continue;
        told.push_back(gauge.label);
        std::cerr << fmt::format("devhost: {}:{}: {} belongs to another module; drawn as a placeholder{}\n",
                                 panel.source, gauge.line, gauge.label,
                                 gauge.sizeGiven ? std::string()
                                                 : fmt::format(" at {0}x{0} pixels, as its line gives no size",
                                                               ForeignGaugeSize));
    }
}

void addPanelReadingOptions(CLI::App& command, int& screenWidth)
{
    command.add_option("--screen-width", screenWidth,
                       "screen width in pixels that the panel's file_NNNN= backgrounds are chosen for (default 1024)")
        ->check(CLI::Range(1, 100000));
}

void addLenientOption(CLI::App& command, bool& lenient)
{
    command.add_flag("--lenient", lenient,
                     "let the flight pass over actions on gauges the panel does not place (the demo flight always does)");
}

Panel choosePanel(const std::string& path, int screenWidth)
{
    return path.empty() ? defaultPanel() : loadPanel(path, {.screenWidth = screenWidth});
}

void addStateOptions(CLI::App& command, StateOptions& options, const std::string& timeOption, bool withGauge)
{
    command.add_option("--panel", options.panel, "panel file (default: the built-in panel with all 41 gauges)");
    addPanelReadingOptions(command, options.screenWidth);
    addLenientOption(command, options.lenient);
    addJsbsimOption(command, options.jsbsim);
    command.add_option("--flight", options.flight,
                       "flight script to play first (default: the built-in demo flight when " +
                           timeOption.substr(0, timeOption.find(',')) + " is given, else none)");
    command.add_option(timeOption, options.at, "seconds into the flight, 0 to its duration (e.g. 180)");
    command.add_option("--set", options.settings,
                       "host variable after the flight, by name or number, in its unit or a natural form; "
                       "repeatable: airspeed=250kmh, altitude=3000m, rpm_1=8000rpm, egt_1=650C, "
                       "oil_pressure_1=4kg/cm2, fuel_front_level=60%, com1_freq=122.80, nav1_freq=110.30, "
                       "transponder=7700, adf=345.5, 61=135 (raw), com1_freq=0x2280 (raw BCD); "
                       "`devhost vars` lists them all")
        ->allow_extra_args(false);
    if (withGauge) {
        command.add_option("--click", options.clicks,
                           "X,Y[,right] in gauge pixels: a click made after --set, one frame each, in order; "
                           "repeatable (--click 218,250 --click 218,250,right)")
            ->allow_extra_args(false);
        command.add_option("--param", options.parameter,
                           "parameter text: the gauge is placed alone with it (default: as the panel places it)");
    }
    command.add_option("--frames", options.frames,
                       "frames run last, after the flight, settings and clicks (default: one second, 18, when "
                       "--set or --click is given or there is no flight; none after a flight alone)")
        ->check(within(0, maxFrames()));
}

ClickPoint parseClickPoint(const std::string& text, const std::string& option)
{
    std::string_view rest = text;
    auto field = [&]() {
        const size_t comma = rest.find(',');
        std::string_view f = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        return f;
    };
    const std::string_view xText = field(), yText = field(), button = field();
    const auto x = coordinate(xText, "x", option, text), y = coordinate(yText, "y", option, text);
    if (!x || !y || !rest.empty() || (!button.empty() && button != "right" && button != "left"))
        throw std::runtime_error(fmt::format("{} {}: expected X,Y or X,Y,right in gauge pixels (whole numbers "
                                             "from {} to {}), e.g. 218,250",
                                             option, text, INT32_MIN, INT32_MAX));
    return {.at = Point{*x, *y}, .right = button == "right"};
}

std::string describeClick(const ClickResult& result, const ClickPoint& click)
{
    std::string what = fmt::format("{} click at ({},{}): ", click.right ? "right" : "left", click.at.x, click.at.y);
    if (!result.hit)
        return what + "no area there";
    if (result.handled)
        return what + fmt::format("handled by area {}", result.areaIndex);
    const KeyEventInfo* info = findKeyEvent(result.keyEvent);
    return what + fmt::format("area {} sends key event {} {}", result.areaIndex, result.keyEvent,
                              info ? info->name : std::string_view("(unknown)"));
}

BuiltState buildState(const StateOptions& options, const Panel* panel)
{
    std::optional<Flight> flight;
    if (!options.flight.empty() || options.at) {
        flight = options.flight.empty() ? demoFlight() : loadFlight(options.flight);
        for (const FlightWarning& warning : flight->warnings)
            std::cerr << fmt::format("devhost: {}:{}: {}\n", flight->source, warning.line, warning.message);
        if (!flight->durationGiven)
            throw std::runtime_error(fmt::format(
                "{}: the flight script has no \"duration\"; give its length in seconds so that a moment in it "
                "can be chosen",
                flight->source));
        const double at = options.at.value_or(0);
        if (!(at >= 0 && at <= flight->duration))
            throw std::runtime_error(fmt::format("time {} is out of range: not within {} (0 to {} s)", at,
                                                 flight->name.empty() ? flight->source : flight->name,
                                                 flight->duration));
    }

    BuiltState state{.host = std::make_unique<Host>(options.module)};
    Host& host = *state.host;
    if (panel)
        placePanelReporting(host, *panel);
    else
        placePanelReporting(host, choosePanel(options.panel, options.screenWidth));
    if (!options.gauge.empty()) {
        state.gauge = options.parameter.empty() ? host.find(options.gauge) : nullptr;
        if (!state.gauge)
            state.gauge = &host.place(options.gauge, options.parameter);
    }

    if (flight) {
        FlightRunner runner(host, *flight, options.lenient,
                            flightModelFor(*flight, options.jsbsim, host.options().framesPerSecond));
        runner.run(runner.framesBefore(options.at.value_or(0)));
    }
    for (const std::string& setting : options.settings)
        applySetting(host, setting);
    for (const std::string& text : options.clicks) {
        const ClickPoint click = parseClickPoint(text, "--click");
        const ClickResult result = host.clickGaugePixel(*state.gauge, click.at, click.right ? ClickRight : ClickLeft);
        state.clicks.push_back(describeClick(result, click));
        host.frame();
    }
    const bool stateGiven = !options.settings.empty() || !options.clicks.empty();
    const int oneSecond = static_cast<int>(std::lround(host.options().framesPerSecond));
    host.frame(options.frames.value_or(stateGiven || !flight ? oneSecond : 0));
    return state;
}

}  // namespace devhost
