#include "devhost/app/run_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>

#include "devhost/app/flight_model.h"
#include "devhost/app/gauge_state.h"
#include "devhost/core/file_writer.h"
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

// A checkpoint is checked after the frame of its moment, which does the
// actions of that moment first: what the designer did and then expected,
// paused at one moment, holds; --at's report shows its moment so too. A
// checkpoint at the run's very end, whose frame is not flown, is checked
// after the last.
uint64_t checkedAfter(const FlightRunner& runner, const Checkpoint& checkpoint, uint64_t last)
{
    const uint64_t through = runner.framesThrough(checkpoint.time);
    return through == last + 1 ? last : through;
}

std::map<uint64_t, Stop> stopsOf(const Flight& flight, const FlightRunner& runner, const RunOptions& options,
                                 uint64_t total, double framesPerSecond)
{
    std::map<uint64_t, Stop> stops;
    const uint64_t last = options.at ? runner.framesThrough(*options.at) : total;
    if (options.at) {
        stops[last].label = fmt::format("{:g} s", *options.at);
    } else if (options.every || options.everyFrames) {
        const uint64_t every = options.everyFrames ? *options.everyFrames
                                                   : std::max<uint64_t>(1, runner.framesFor(*options.every));
        for (uint64_t f = every; f <= total; f += every)
            stops[f].label = options.everyFrames ? fmt::format("frame {}", f) : fmt::format("{:.2f} s", static_cast<double>(f) / framesPerSecond);
    } else {
        for (const Checkpoint& checkpoint : flight.checkpoints) {
            const uint64_t f = checkedAfter(runner, checkpoint, total);
            if (f <= total && stops[f].label.empty())
                stops[f].label = fmt::format("{:.0f} s: {}", checkpoint.time, checkpoint.label);
        }
    }
    if (!options.at && (stops.empty() || stops.rbegin()->first != total || stops.rbegin()->second.label.empty()))
        stops[total].label = stops[total].label.empty() ? "end of run" : stops[total].label;
    for (const Checkpoint& checkpoint : flight.checkpoints)
        if (!checkpoint.expect.empty())
            if (const uint64_t f = checkedAfter(runner, checkpoint, last); f <= last)
                stops[f].checks.push_back(&checkpoint);
    return stops;
}

void writeJunit(const std::string& path, const std::string& flight, const std::vector<ExpectationResult>& results)
{
    try {
        writeFileWhole(path, junitReport(flight, results));
    } catch (const FileWriteError& error) {
        throw std::runtime_error(fmt::format("--junit: {}", error.what()));
    }
}

// The expectations checked in a run.
struct RunOutcome {
    std::vector<ExpectationResult> results;
    size_t absent = 0;      // expectations passed over: of gauges the panel does not place
    size_t dependent = 0;   // of what actions passed over would have changed

    bool failed() const
    {
        return std::any_of(results.begin(), results.end(), [](const auto& r) { return !r.passed; });
    }
};

// What a run tells, in one format: the heading before the first frame, a
// reading at each stop that has a label, and the expectations' outcome.
class FlightReport {
public:
    virtual ~FlightReport() = default;
    virtual void begin() {}
    // Whether reading() wants the gauges probed: a run whose reports show
    // no gauge (TAP, JUnit) is spared the probes and the readings.
    virtual bool readsGauges() const { return true; }
    // The gauges at a stop, and the flight's log since the reading before.
    virtual void reading(const std::string& /*label*/, const Snapshot& /*snapshot*/,
                         std::span<const FlightLogEntry> /*log*/) {}
    virtual void finish(const RunOutcome& /*outcome*/) {}
    // The tally comes after every report has finished, the JUnit file
    // written: a file that cannot be written stops the run before it.
    virtual void tally(const RunOutcome& /*outcome*/) {}
};

void printTally(std::ostream& out, const RunOutcome& outcome)
{
    const std::vector<ExpectationResult>& results = outcome.results;
    if (results.empty())
        return;
    const size_t failures = std::count_if(results.begin(), results.end(), [](const auto& r) { return !r.passed; });
    std::string passedOver;
    if (outcome.absent)
        passedOver += fmt::format(", {} passed over (gauges not on the panel)", outcome.absent);
    if (outcome.dependent)
        passedOver += fmt::format(", {} passed over (they follow actions on gauges not on the panel)", outcome.dependent);
    out << fmt::format("\nexpectations: {} checked, {} failed{}\n", results.size(), failures, passedOver);
    if (outcome.failed())
        out << failureTable(results);
}

class TextReport : public FlightReport {
public:
    TextReport(std::string heading, const ReportOptions& options) : heading_(std::move(heading)), options_(options) {}

    void begin() override { std::cout << heading_ << std::flush; }  // a long run says at once what it is doing

    void reading(const std::string& label, const Snapshot& snapshot, std::span<const FlightLogEntry> log) override
    {
        std::cout << "\n== " << label << " ==\n";
        for (const FlightLogEntry& entry : log)
            std::cout << fmt::format("  flight: frame {:>6}  {}\n", entry.frame, entry.what);
        std::cout << describePanel(snapshot, options_);
    }

    void tally(const RunOutcome& outcome) override { printTally(std::cout, outcome); }

private:
    std::string heading_;
    const ReportOptions& options_;
};

nlohmann::json readingJson(const std::string& label, const Snapshot& snapshot, std::span<const FlightLogEntry> log)
{
    nlohmann::json entries = nlohmann::json::array();
    for (const FlightLogEntry& entry : log)
        entries.push_back(toJson(entry));
    return {{"label", label}, {"snapshot", toJson(snapshot)}, {"flight_log", entries}};
}

// One document, written as each reading is made: a long run with many
// readings holds one at a time.
class JsonReport : public FlightReport {
public:
    explicit JsonReport(std::string flightName) : flightName_(std::move(flightName)) {}

    void begin() override { std::cout << "{\"flight\": " << nlohmann::json(flightName_).dump() << ", \"reports\": ["; }

    void reading(const std::string& label, const Snapshot& snapshot, std::span<const FlightLogEntry> log) override
    {
        std::cout << (first_ ? "\n" : ",\n") << readingJson(label, snapshot, log).dump();
        first_ = false;
    }

    void finish(const RunOutcome& outcome) override
    {
        nlohmann::json checked = nlohmann::json::array();
        for (const ExpectationResult& r : outcome.results)
            checked.push_back({{"time", r.time},
                               {"checkpoint", r.checkpoint},
                               {"subject", r.expectation.subject},
                               {"label", r.expectation.label},
                               {"expected", r.expectation.expected},
                               {"shown", r.shown},
                               {"passed", r.passed}});
        std::cout << "\n], \"expectations\": " << checked.dump() << "}\n";
    }

    void tally(const RunOutcome& outcome) override { printTally(std::cerr, outcome); }

private:
    std::string flightName_;
    bool first_ = true;
};

// Each line carries the events since the one before, so that its lines
// stay of one size.
class JsonLinesReport : public FlightReport {
public:
    void reading(const std::string& label, const Snapshot& snapshot, std::span<const FlightLogEntry> log) override
    {
        std::cout << readingJson(label, snapshot, log).dump() << "\n";
    }

    void tally(const RunOutcome& outcome) override { printTally(std::cerr, outcome); }
};

class TapReport : public FlightReport {
public:
    bool readsGauges() const override { return false; }
    void finish(const RunOutcome& outcome) override { std::cout << tapReport(outcome.results); }
};

class JunitReport : public FlightReport {
public:
    JunitReport(std::string path, std::string flightName) : path_(std::move(path)), flightName_(std::move(flightName)) {}

    bool readsGauges() const override { return false; }
    void finish(const RunOutcome& outcome) override { writeJunit(path_, flightName_, outcome.results); }

private:
    std::string path_;
    std::string flightName_;
};

using Reports = std::vector<std::unique_ptr<FlightReport>>;

// The report printed, chosen by the options, and the JUnit file's if one
// is asked for. The heading is the text report's.
Reports reportsFor(const RunOptions& options, const Flight& flight, const std::string& name, std::string heading)
{
    Reports reports;
    if (options.tap)
        reports.push_back(std::make_unique<TapReport>());
    else if (options.jsonLines)
        reports.push_back(std::make_unique<JsonLinesReport>());
    else if (options.json)
        reports.push_back(std::make_unique<JsonReport>(flight.name));
    else
        reports.push_back(std::make_unique<TextReport>(std::move(heading), options.report));
    if (!options.junit.empty())
        reports.push_back(std::make_unique<JunitReport>(options.junit, name));
    return reports;
}

std::string textHeading(const std::string& name, const Host& host, const Panel& panel, uint64_t frames)
{
    return fmt::format("{} on {} ({} gauges), {} frames at {} fps\n", excerpt(name),
                       host.gauges().empty() ? "no panel" : std::string("the panel"), host.gauges().size(), frames,
                       host.options().framesPerSecond) +
           describeWindows(panel);
}

// The expectations due at a stop, against what the gauges show now.
void check(Host& host, const FlightRunner& runner, const Stop& stop, RunOutcome& outcome)
{
    for (const Checkpoint* checkpoint : stop.checks)
        for (const Expectation& expectation : checkpoint->expect) {
            if (const auto over = runner.passOver(expectation); over != FlightRunner::PassOver::No) {
                ++(over == FlightRunner::PassOver::GaugeNotPlaced ? outcome.absent : outcome.dependent);
                continue;
            }
            ExpectationResult result = checkExpectation(host, expectation);
            result.time = checkpoint->time;
            result.checkpoint = checkpoint->label;
            outcome.results.push_back(std::move(result));
        }
}

// The flight from stop to stop: the expectations checked, a reading for
// the reports where a stop has a label.
RunOutcome fly(Host& host, FlightRunner& runner, const std::map<uint64_t, Stop>& stops, const EventFilter& filter,
               const Reports& reports)
{
    const bool readsGauges = std::any_of(reports.begin(), reports.end(), [](const auto& r) { return r->readsGauges(); });
    RunOutcome outcome;
    EventMark mark;
    size_t logShown = 0;
    for (const auto& [frame, stop] : stops) {
        runner.run(frame - std::min(frame, host.frameNumber()));
        check(host, runner, stop, outcome);
        if (stop.label.empty() || !readsGauges)
            continue;
        const Snapshot snapshot = probeForReport(host, mark, filter);
        const auto log = std::span(runner.log()).subspan(logShown);
        for (const auto& report : reports)
            report->reading(stop.label, snapshot, log);
        logShown = runner.log().size();
    }
    return outcome;
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
                 "one fails, run prints a table (time, gauge, expected, shown) and exits 1. At one moment (a "
                 "checkpoint's, or --at's) the actions come first, then the frame that shows them, then the "
                 "checkpoint and the report. With --lenient (always for the demo flight) the checks of gauges "
                 "not placed, and of what actions passed over would have changed, are passed over and counted."), common)
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
    const EventFilter filter = options_.report.filter();
    const Reports reports = reportsFor(
        options_, flight, name, textHeading(name, host, panel, options_.at ? runner.framesThrough(*options_.at) : total));

    for (const auto& report : reports)
        report->begin();
    const RunOutcome outcome =
        fly(host, runner, stopsOf(flight, runner, options_, total, host.options().framesPerSecond), filter, reports);
    for (const auto& report : reports)
        report->finish(outcome);
    for (const auto& report : reports)
        report->tally(outcome);
    return outcome.failed() ? 1 : 0;
}

}  // namespace devhost
