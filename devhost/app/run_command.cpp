#include "devhost/app/run_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "devhost/app/flight_model.h"
#include "devhost/app/gauge_state.h"
#include "devhost/core/host.h"
#include "devhost/flight/flight.h"
#include "devhost/flight/snapshot_json.h"

namespace devhost {

namespace {

// Where the run stops: to report, to check a checkpoint's expectations, or both.
struct Stop {
    std::string label;                       // empty: no report here
    std::vector<const Checkpoint*> checks;   // checkpoints whose expectations hold here
};

std::map<uint64_t, Stop> stopsOf(const Flight& flight, const FlightRunner& runner, const RunOptions& options,
                                 uint64_t total, double framesPerSecond)
{
    std::map<uint64_t, Stop> stops;
    if (options.at) {
        stops[runner.framesBefore(*options.at)].label = fmt::format("{:g} s", *options.at);
    } else if (options.every || options.everyFrames) {
        const uint64_t every = options.everyFrames ? *options.everyFrames
                                                   : std::max<uint64_t>(1, runner.framesFor(*options.every));
        for (uint64_t f = every; f <= total; f += every)
            stops[f].label = options.everyFrames ? fmt::format("frame {}", f) : fmt::format("{:.2f} s", static_cast<double>(f) / framesPerSecond);
    } else {
        for (const Checkpoint& checkpoint : flight.checkpoints) {
            const uint64_t f = runner.framesBefore(checkpoint.time);
            if (f <= total && stops[f].label.empty())
                stops[f].label = fmt::format("{:.0f} s: {}", checkpoint.time, checkpoint.label);
        }
    }
    const uint64_t last = options.at ? stops.begin()->first : total;
    if (!options.at && (stops.empty() || stops.rbegin()->first != total || stops.rbegin()->second.label.empty()))
        stops[total].label = stops[total].label.empty() ? "end of run" : stops[total].label;
    for (const Checkpoint& checkpoint : flight.checkpoints)
        if (!checkpoint.expect.empty())
            if (const uint64_t f = runner.framesBefore(checkpoint.time); f <= last)
                stops[f].checks.push_back(&checkpoint);
    return stops;
}

void writeJunit(const std::string& path, const std::string& flight, const std::vector<ExpectationResult>& results)
{
    std::ofstream out(path, std::ios::binary);
    out << junitReport(flight, results);
    if (!out.flush())
        throw std::runtime_error(fmt::format("--junit {}: cannot write the file", path));
}

}  // namespace

RunCommand::RunCommand(CLI::App& app, Common& common)
    : Command(app.add_subcommand(
          "run", "run a panel through a flight and tell what each gauge reads, with the events sent; check what "
                 "the flight's checkpoints expect\n"
                 "  devhost run --seconds 60\n"
                 "  devhost run --at 180                         (one report, 180 s into the flight)\n"
                 "  devhost run --panel MyJet/panel/panel.cfg --seconds 60   (a panel of one's own)\n"
                 "  devhost run --flight my_flight.json --every 30 --json --events COM_RADIO_FRACT_INC\n"
                 "  devhost run --flight regression.json --junit results.xml\n"
                 "A checkpoint may carry \"expect\": what gauges read or variables hold at that moment, e.g.\n"
                 "  {\"at\": 180, \"label\": \"Cruise\", \"expect\": {\"Airspeed\": \"450 km/h ±5\",\n"
                 "   \"Radio_COM_SK10\": \"122.800 MHz\", \"Landing_Indicator\": {\"localiser\": \"0 ±0.2 dots\"},\n"
                 "   \"Artificial_Horizon\": {\"bank\": \"25 ° right ±2\"}, \"Metric_Switch\": \"metric\",\n"
                 "   \"com1_freq\": \"122.80\"}}\n"
                 "A number with a unit is compared with the reading's number in that unit (\"left\"/\"down\" "
                 "count negative), within the tolerance after ± (or +-); words must appear in a reading. When "
                 "one fails, run prints a table (time, gauge, expected, shown) and exits 1."), common)
{
    addModule(*command_, common_);
    addPanel(*command_, common_);
    command_->add_option("--flight", common_.flight, "flight script (default: the built-in demo flight)");
    addLenientOption(*command_, common_.lenient);
    addJsbsimOption(*command_, common_.jsbsim);
    auto* frames = command_->add_option("--frames", options_.frames, "frames to run")->check(within(0, maxFrames()));
    auto* seconds = command_->add_option("--seconds", options_.seconds, "seconds to run")
                        ->check(within(0, MaxFlightSeconds, false))
                        ->excludes(frames);
    auto* at = command_->add_option("--at", options_.at, "one report, this many seconds into the flight")
                   ->check(within(0, MaxFlightSeconds, false))
                   ->excludes(frames)
                   ->excludes(seconds);
    auto* every = command_->add_option("--every", options_.every,
                                       "a report every this many seconds of flight (default: at the flight's "
                                       "checkpoints and the end)")
                      ->check(within(1 / HostOptions{}.framesPerSecond, MaxFlightSeconds, false))
                      ->excludes(at);
    command_->add_option("--every-frames", options_.everyFrames, "a report every N frames")
        ->check(within(1, maxFrames()))
        ->excludes(at)
        ->excludes(every);
    auto* json = command_->add_flag("--json", options_.json, "print the reports as JSON, streamed as they are made");
    auto* lines = command_->add_flag("--json-lines", options_.jsonLines,
                                     "print each report as it is made, one line of JSON, with the events since the "
                                     "one before");
    command_->add_flag("--tap", options_.tap, "print the expectations' outcome as TAP instead of the reports")
        ->excludes(json)
        ->excludes(lines);
    command_->add_option("--junit", options_.junit, "write the expectations' outcome as JUnit XML to this file");
    addReportOptions(*command_, options_.report);
}

int RunCommand::run()
{
    const bool json = options_.json || options_.jsonLines;
    Host host(common_.module);
    const Panel panel = choosePanel(common_);
    placePanelReporting(host, panel);
    const Flight flight = common_.flight.empty() ? demoFlight() : loadFlight(common_.flight);
    for (const FlightWarning& warning : flight.warnings)
        std::cerr << fmt::format("devhost: {}:{}: {}\n", flight.source, warning.line, warning.message);
    FlightRunner runner(host, flight, common_.lenient,
                        flightModelFor(flight, common_.jsbsim, host.options().framesPerSecond));
    const uint64_t total = options_.frames    ? *options_.frames
                           : options_.seconds ? runner.framesFor(*options_.seconds)
                                              : runner.framesFor(flight.duration);
    const std::string name = flight.name.empty() ? flight.source : flight.name;

    size_t logShown = 0;
    EventMark mark;
    const EventFilter filter = options_.report.filter();
    std::vector<ExpectationResult> results;
    size_t passedOver = 0;  // expectations of gauges the panel does not place
    if (options_.tap) {
    } else if (!json) {
        std::cout << fmt::format("{} on {} ({} gauges), {} frames at {} fps\n", name,
                                 host.gauges().empty() ? "no panel" : std::string("the panel"), host.gauges().size(),
                                 options_.at ? runner.framesBefore(*options_.at) : total, host.options().framesPerSecond)
                  << describeWindows(panel) << std::flush;  // a long run says at once what it is doing
    } else if (!options_.jsonLines) {
        // The array is written as each report is made: a long run with many
        // reports holds one at a time.
        std::cout << "{\"flight\": " << nlohmann::json(flight.name).dump() << ", \"reports\": [";
    }
    bool first = true;
    for (const auto& [frame, stop] : stopsOf(flight, runner, options_, total, host.options().framesPerSecond)) {
        runner.run(frame - std::min(frame, host.frameNumber()));
        for (const Checkpoint* checkpoint : stop.checks)
            for (const Expectation& expectation : checkpoint->expect) {
                if (!expectation.variable && runner.passesOverAbsent() && !host.find(expectation.subject)) {
                    ++passedOver;
                    continue;
                }
                ExpectationResult result = checkExpectation(host, expectation);
                result.time = checkpoint->time;
                result.checkpoint = checkpoint->label;
                results.push_back(std::move(result));
            }
        if (stop.label.empty() || options_.tap)
            continue;
        Snapshot snapshot = probeForReport(host, mark, filter);
        if (json) {
            nlohmann::json log = nlohmann::json::array();
            for (size_t i = logShown; i < runner.log().size(); ++i)
                log.push_back(toJson(runner.log()[i]));
            nlohmann::json report{{"label", stop.label}, {"snapshot", toJson(snapshot)}, {"flight_log", log}};
            // Each line of --json-lines carries the events since the one before,
            // so that its lines stay of one size.
            std::cout << (options_.jsonLines ? "" : first ? "\n" : ",\n") << report.dump() << (options_.jsonLines ? "\n" : "");
        } else {
            std::cout << "\n== " << stop.label << " ==\n";
            for (size_t i = logShown; i < runner.log().size(); ++i)
                std::cout << fmt::format("  flight: frame {:>6}  {}\n", runner.log()[i].frame, runner.log()[i].what);
            std::cout << describePanel(snapshot, options_.report);
        }
        first = false;
        logShown = runner.log().size();
    }

    const bool failed = std::any_of(results.begin(), results.end(), [](const auto& r) { return !r.passed; });
    if (json && !options_.jsonLines) {
        nlohmann::json checked = nlohmann::json::array();
        for (const ExpectationResult& r : results)
            checked.push_back({{"time", r.time},
                               {"checkpoint", r.checkpoint},
                               {"subject", r.expectation.subject},
                               {"label", r.expectation.label},
                               {"expected", r.expectation.expected},
                               {"shown", r.shown},
                               {"passed", r.passed}});
        std::cout << "\n], \"expectations\": " << checked.dump() << "}\n";
    }
    if (options_.tap)
        std::cout << tapReport(results);
    if (!options_.junit.empty())
        writeJunit(options_.junit, name, results);
    if (!results.empty() && !options_.tap) {
        const size_t failures = std::count_if(results.begin(), results.end(), [](const auto& r) { return !r.passed; });
        std::ostream& out = json ? std::cerr : std::cout;
        out << fmt::format("\nexpectations: {} checked, {} failed{}\n", results.size(), failures,
                           passedOver ? fmt::format(", {} passed over (gauges not on the panel)", passedOver) : "");
        if (failed)
            out << failureTable(results);
    }
    return failed ? 1 : 0;
}

}  // namespace devhost
