// The development host: loads the module, installs placed gauges, runs
// frames, clicks and hovers, the way the simulator drives a gauge module.
//
// A test reads like a flight:
//     devhost::Host host(devhost::moduleUnderTest());
//     auto& airspeed = host.place("Airspeed");
//     host.variables().set(61, 100);
//     host.frame();
//     EXPECT_NEAR(host.probe(airspeed).elements[2].value, 185.128, 1e-3);
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/key_events.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/probe.h"
#include "devhost/core/variables.h"
#include "framework/gauge_model.h"

namespace devhost {

// The module file the tests load: VARDEX_MODULE environment variable, or the
// path compiled in.
std::string moduleUnderTest();

// Raised for a module that cannot serve as a gauge module (missing export,
// wrong module id, over-long gauge list), or a gauge name it lacks.
class HostError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class GaugeInstance;  // one placed gauge: its own deep copy of the records

struct HostOptions {
    bool privateCopy = true;          // load a fresh copy of the file, so module state starts anew
    double framesPerSecond = 18.0;
    double startTimeOfDay = 12 * 3600.0;
};

struct ClickResult {
    bool hit = false;                 // an area took the click
    bool handled = false;             // a module handler ran (else the host sent the area's key event, or nothing)
    uint32_t keyEvent = 0;            // the key event the host sent for the area, 0 if none
};

class Host {
public:
    explicit Host(const std::string& modulePath, HostOptions options = {});
    ~Host();  // removes every gauge (code 12), calls the shutdown routine, unloads
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    VariableStore& variables();
    WindowState& windows();

    // Installs a gauge by name (deep copy, parameter text, service code 2).
    // width/height 0: the gauge's bitmap size.
    GaugeInstance& place(std::string_view gauge, std::string_view parameter = {}, int width = 0, int height = 0);
    void placePanel(const Panel& panel);   // every gauge of every window (other modules' gauges are skipped and reported)
    const std::vector<std::unique_ptr<GaugeInstance>>& gauges() const;
    GaugeInstance* find(std::string_view gauge);

    void frame(int count = 1);             // code 6, then every element of every gauge, then time advances
    void notify(GaugeInstance& gauge, int32_t serviceCode, uint32_t extra = 0);
    void notifyAll(int32_t serviceCode, uint32_t extra = 0);
    void remove(GaugeInstance& gauge);     // code 12, then gone

    // x, y in the placed gauge's pixels (scaled to the gauge's own bitmap pixels).
    ClickResult click(GaugeInstance& gauge, int x, int y, uint32_t clickFlags = ClickLeft);
    std::string hover(GaugeInstance& gauge, int x, int y);   // the innermost tooltip, formatted; "" if none

    GaugeSnapshot probe(const GaugeInstance& gauge) const;
    Snapshot probe() const;
    const std::vector<EventRecord>& events() const;
    void clearEvents();
    const std::vector<int>& trapsCalled() const;
    uint64_t frameNumber() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace devhost
