#include "devhost/app/pointer_commands.h"

#include <fmt/format.h>

#include <iostream>
#include <nlohmann/json.hpp>

#include "devhost/core/tooltip_format.h"
#include "devhost/flight/snapshot_json.h"

namespace devhost {

namespace {

CLI::App* pointerSubcommand(CLI::App& app, PointerCommand::Kind kind)
{
    if (kind == PointerCommand::Kind::Click)
        return app.add_subcommand(
            "click", "click a gauge in a given state and show what follows\n"
                     "  devhost click --gauge Radio_COM_SK10 --at 218,250 --right\n"
                     "  devhost click --gauge Radio_COM_SK10 --at 218,250 --set com1_freq=122.80 --json");
    return app.add_subcommand("hover", "a gauge's tooltip at a point, in a given state\n"
                                       "  devhost hover --gauge Radio_COM_SK10 --at 150,40 --set com1_freq=122.80");
}

}  // namespace

PointerCommand::PointerCommand(CLI::App& app, Common& common, Kind kind)
    : Command(pointerSubcommand(app, kind), common), kind_(kind)
{
    addModule(*command_, common_);
    command_->add_option("--gauge", options_.state.gauge, "gauge name, e.g. Radio_COM_SK10 (`devhost list`)")
        ->required();
    command_->add_option("--at", options_.at, "X,Y in the gauge's own pixels (`devhost describe` shows the areas)")
        ->required();
    addStateOptions(*command_, options_.state, "--time", true);
    if (kind_ == Kind::Hover)
        return;
    command_->add_flag("--right", options_.right, "right button (default left)");
    command_->add_flag("--json", options_.json, "print the outcome as JSON");
    addReportOptions(*command_, options_.report);
}

int PointerCommand::run()
{
    options_.state.module = common_.module;
    return kind_ == Kind::Click ? click() : hover();
}

int PointerCommand::click()
{
    const ClickPoint point = parseClickPoint(options_.at + (options_.right ? ",right" : ""), "--at");
    // --frames counts the frames run after the click, which the report
    // then names; the state before it is built as for any command.
    StateOptions before = options_.state;
    before.frames.reset();
    BuiltState state = buildState(before);
    Host& host = *state.host;
    GaugeInstance& gauge = *state.gauge;
    EventMark mark;
    host.eventsSince(mark);
    ClickResult result = host.clickGaugePixel(gauge, point.at, point.right ? ClickRight : ClickLeft);
    const int frames = options_.state.frames.value_or(1);
    host.frame(frames);
    const EventFilter filter = options_.report.filter();
    Snapshot snapshot = probeForReport(host, mark, filter);
    const GaugeSnapshot* shown = nullptr;
    for (const GaugeSnapshot& g : snapshot.gauges)
        if (g.name == gauge.name() && g.window == gauge.window() && g.x == gauge.position().x &&
            g.y == gauge.position().y)
            shown = &g;
    if (options_.json) {
        nlohmann::json events = nlohmann::json::array();
        for (const EventRecord& event : snapshot.events)
            events.push_back(toJson(event));
        std::cout << nlohmann::json{{"clicks_before", state.clicks},
                                    {"hit", result.hit},
                                    {"handled", result.handled},
                                    {"key_event", result.keyEvent},
                                    {"area", result.areaIndex},
                                    {"frames_after", frames},
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
        std::cout << (frames == 1 ? std::string("after one frame: ") : fmt::format("after {} frames: ", frames))
                  << describeGauge(*shown, options_.report) << "\n";
    return 0;
}

int PointerCommand::hover()
{
    const ClickPoint point = parseClickPoint(options_.at, "--at");
    BuiltState state = buildState(options_.state);
    std::string text = windows1252ToUtf8(state.host->hoverGaugePixel(*state.gauge, point.at));
    std::cout << (text.empty() ? "(no tooltip)" : text) << "\n";
    return 0;
}

}  // namespace devhost
