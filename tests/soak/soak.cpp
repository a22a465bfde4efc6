// The soak run: a long simulated flight on the built-in panel with the
// probe taken (and written as JSON) at every report, then install/remove
// cycles of every gauge of the module; the process's resident memory is
// printed as it goes. After warm-up it must stay flat: the run fails when it
// grows by more than the bound given.
//
//   vardex_soak [--hours H] [--cycles N] [--report-every S] [--max-growth-mb M]
//
// scripts/soak.sh runs the full day; a short run is one of the tests.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"
#include "devhost/flight/snapshot_json.h"

namespace {

using namespace devhost;

struct SoakOptions {
    double hours = 24;
    int cycles = 2000;
    double reportEvery = 1800;   // simulated seconds between reports
    double maxGrowthMb = 32;
};

// The reports before this share of the run are warm-up: caches fill, the
// allocator finds its shape.
constexpr double warmUpShare = 0.2;

double residentMb()
{
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Growth of resident memory after the warm-up: the highest reading after it
// less the reading where it ended.
class MemoryCurve {
public:
    void sample(double progress)
    {
        const double mb = residentMb();
        if (progress <= warmUpShare || !settled_) {
            // The last reading of the warm-up is the base (or the first one
            // after it, when no reading fell within it).
            settled_ = mb;
            peak_ = mb;
        }
        peak_ = std::max(peak_, mb);
    }
    double growth() const { return settled_ ? peak_ - *settled_ : 0; }

private:
    std::optional<double> settled_;
    double peak_ = 0;
};

std::optional<SoakOptions> parse(int argc, char** argv)
{
    SoakOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        char* end = nullptr;
        const double value = std::strtod(argv[i + 1], &end);
        if (*end != '\0' || !(value >= 0 && value <= 1e6)) {
            std::fprintf(stderr, "vardex_soak: %s %s: expected a number from 0 to 1000000\n", argv[i], argv[i + 1]);
            return std::nullopt;
        }
        if (name == "--hours" && value <= MaxFlightSeconds / 3600)
            options.hours = value;
        else if (name == "--cycles")
            options.cycles = static_cast<int>(value);
        else if (name == "--report-every" && value > 0)
            options.reportEvery = value;
        else if (name == "--max-growth-mb")
            options.maxGrowthMb = value;
        else {
            std::fprintf(stderr, "vardex_soak: %s %s: expected --hours (up to 240), --cycles, --report-every (above 0), "
                                 "--max-growth-mb\n", argv[i], argv[i + 1]);
            return std::nullopt;
        }
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "vardex_soak: %s needs a value\n", argv[argc - 1]);
        return std::nullopt;
    }
    return options;
}

// The demo flight over and over, for the hours asked, with the probe as
// JSON at every report.
double soakFlight(const SoakOptions& options)
{
    Host host(moduleUnderTest());
    host.placePanel(defaultPanel());
    const Flight demo = demoFlight();
    const double total = options.hours * 3600;
    MemoryCurve curve;
    double flown = 0, nextReport = 0;
    size_t jsonBytes = 0, eventsReported = 0;
    while (flown < total) {
        FlightRunner runner(host, demo);
        while (!runner.finished() && flown < total) {
            runner.step();
            flown += 1 / host.options().framesPerSecond;
            if (flown >= nextReport) {
                // What a reader of the probe takes: what every gauge shows,
                // and the events since the report before.
                const Snapshot snapshot = host.probe();
                nlohmann::json report = nlohmann::json::array();
                for (const GaugeSnapshot& gauge : snapshot.gauges)
                    report.push_back(toJson(gauge));
                for (size_t k = eventsReported; k < snapshot.events.size(); ++k)
                    report.push_back(toJson(snapshot.events[k]));
                eventsReported = snapshot.events.size();
                jsonBytes += report.dump().size();
                curve.sample(flown / total);
                std::printf("flight %7.2f h  frame %9llu  events %9zu  RSS %8.1f MB\n", flown / 3600,
                            static_cast<unsigned long long>(host.frameNumber()), host.events().size(), residentMb());
                std::fflush(stdout);
                nextReport += options.reportEvery;
            }
        }
    }
    std::printf("flight: %.1f MB of probe JSON written, RSS growth after warm-up %.1f MB\n",
                double(jsonBytes) / (1024 * 1024), curve.growth());
    return curve.growth();
}

// Every gauge installed, run, removed, again and again on one host.
double soakCycles(const SoakOptions& options)
{
    Host host(moduleUnderTest());
    const std::vector<GaugeInfo> gauges = host.gaugeList();
    MemoryCurve curve;
    const int reports = 10;
    for (int cycle = 1; cycle <= options.cycles; ++cycle) {
        for (const GaugeInfo& gauge : gauges)
            host.place(gauge.name);
        host.frame();
        while (!host.gauges().empty())
            host.remove(*host.gauges().back());
        host.clearEvents();
        if (cycle % std::max(1, options.cycles / reports) == 0 || cycle == options.cycles) {
            curve.sample(double(cycle) / options.cycles);
            std::printf("cycles %6d/%d  RSS %8.1f MB\n", cycle, options.cycles, residentMb());
            std::fflush(stdout);
        }
    }
    std::printf("cycles: %zu gauges installed and removed %d times, RSS growth after warm-up %.1f MB\n",
                gauges.size(), options.cycles, curve.growth());
    return curve.growth();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<SoakOptions> options = parse(argc, argv);
    if (!options)
        return 2;
    std::printf("soak: %.2f h of flight on the built-in panel, a report every %.0f s; %d install/remove cycles\n",
                options->hours, options->reportEvery, options->cycles);
    try {
        const double flightGrowth = soakFlight(*options);
        const double growth = std::max(flightGrowth, soakCycles(*options));
        if (growth > options->maxGrowthMb) {
            std::printf("soak: FAILED: resident memory grew %.1f MB after warm-up (bound %.1f MB)\n", growth,
                        options->maxGrowthMb);
            return 1;
        }
        std::printf("soak: memory flat within %.1f MB after warm-up\n", options->maxGrowthMb);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vardex_soak: %s\n", error.what());
        return 1;
    }
}
