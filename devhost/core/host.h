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
#include <deque>
#include <memory>
#include <stdexcept>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host_error.h"
#include "devhost/core/key_events.h"
#include "devhost/core/module_gauges.h"
#include "devhost/core/panel_file.h"
#include "devhost/core/probe.h"
#include "devhost/core/variables.h"
#include "framework/gauge_model.h"

namespace devhost {

// The module file the tests load: VARDEX_MODULE environment variable, or the
// path compiled in (VARDEX_MODULE_PATH; none in the Windows build, whose
// test program and devhost.exe are told the file when they run), or the
// platform's module file name in the current folder.
std::string moduleUnderTest();

struct HostOptions {
    bool privateCopy = true;          // an instance of the module of its own, so module state starts anew
    double framesPerSecond = 18.0;
    double startTimeOfDay = 12 * 3600.0;
    // Top-level window classes the host offers to vardexFindHostWindow; empty: no host window.
    std::vector<std::string> windowClasses = {"FS98MAIN", "MSCFSMAIN"};
    std::string atcId = "D-HVDX";     // what "(A:ATC ID,string)" evaluates to
};

struct ClickResult {
    bool hit = false;                 // an area took the click
    bool handled = false;             // a module handler ran (else the host sent the area's key event, or nothing)
    uint32_t keyEvent = 0;            // the key event the host sent for the area, 0 if none
    int areaIndex = -1;               // index of the area in the gauge's mouse-area list, -1 if none
};

// A gauge of another module that the panel places: the host cannot run it,
// and shows it as a labelled placeholder of its placed size.
struct ForeignGauge {
    std::string label;                // "Module!Gauge"
    int window = 0;
    Box box{};                        // window pixels
    bool sizeGiven = false;           // false: ForeignGaugeSize, as the line gives none
    int line = 0;
};
class BitmapCatalog;

class Host {
public:
    explicit Host(const std::string& modulePath, HostOptions options = {});
    ~Host();  // removes every gauge (code 12), calls the shutdown routine, unloads
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    VariableStore& variables();
    WindowState& windows();
    KeyEventEngine& keyEvents();
    const HostOptions& options() const;
    void setFramesPerSecond(double fps);  // non-positive or non-finite values are refused (HostError)

    std::vector<GaugeInfo> gaugeList() const;
    ModuleGauges moduleGauges() const;     // the list, and the file that panels name
    const BitmapCatalog& bitmaps() const;  // the module's bitmaps, for drawing what the gauges show

    // Installs a gauge by name (deep copy, parameter text, service code 2).
    // width/height 0: the gauge's bitmap size (or, without one, its default
    // size in mm taken as pixels); only one given: the other keeps the aspect.
    GaugeInstance& place(std::string_view gauge, std::string_view parameter = {}, int width = 0, int height = 0);
    GaugeInstance& place(std::string_view gauge, std::string_view parameter, int window, Point position,
                         int width, int height);
    // Every gauge of every window; gauges of other modules are skipped and
    // listed in the result, each as "Module!Gauge", and kept as
    // foreignGauges(). A virtual cockpit's gauges are scaled to its texture.
    // Throws PanelError when a gauge does not install, or when the windows
    // and the gauges together ask for more than MaxPanelPixels.
    std::vector<std::string> placePanel(const Panel& panel);
    // Brings the placed gauges in line with the panel as edited, keeping
    // what runs: a gauge still on it (the same gauge and parameter text, in
    // its window or moved to another) keeps its instance and state, moved
    // and sized anew; a gauge gone is removed (code 12); a new one is
    // installed (code 2). The windows and other modules' gauges are taken
    // anew. Checked as placePanel checks, before anything changes.
    std::vector<std::string> followPanel(const Panel& panel);
    // A gauge of the module at its own size, neither installed nor run:
    // its face as its records draw it, for a picture of the gauge list.
    std::unique_ptr<GaugeInstance> specimen(std::string_view gauge) const;
    const std::vector<ForeignGauge>& foreignGauges() const;
    // The windows of the panels placed (their gauges left out): what a
    // window is drawn on.
    const std::vector<PanelWindowSpec>& panelWindows() const;
    const PanelWindowSpec* panelWindow(int number) const;
    const std::vector<std::unique_ptr<GaugeInstance>>& gauges() const;
    GaugeInstance* find(std::string_view gauge);   // the first placed instance of that name

    void frame(int count = 1);             // code 6 to all, then every element of every gauge, then time advances
    void notify(GaugeInstance& gauge, int32_t serviceCode, uint32_t extra = 0);
    void notifyAll(int32_t serviceCode, uint32_t extra = 0);
    void remove(GaugeInstance& gauge);     // code 12, then gone

    // x, y in the placed gauge's pixels (scaled to the gauge's own bitmap pixels).
    ClickResult click(GaugeInstance& gauge, int x, int y, uint32_t clickFlags = ClickLeft);
    std::string hover(GaugeInstance& gauge, int x, int y);   // the innermost tooltip, formatted; "" if none
    // The same at a point given in the gauge's own pixels, as its mouse areas are.
    ClickResult clickGaugePixel(GaugeInstance& gauge, Point point, uint32_t clickFlags = ClickLeft);
    std::string hoverGaugePixel(GaugeInstance& gauge, Point point);
    // What the gauge's own tooltip texts say now (not the host's help
    // texts), each once, in the order of its mouse areas, in the host's code
    // page as hover gives them.
    std::vector<std::string> tooltips(GaugeInstance& gauge);
    // One Tooltip entry's text as the host shows it now.
    std::string tooltipText(GaugeInstance& gauge, const MouseArea& tooltip);

    GaugeSnapshot probe(const GaugeInstance& gauge) const;
    Snapshot probe() const;
    // The same with only the events since mark, which moves past them.
    Snapshot probe(EventMark& mark);
    // The event log: a run of one event in consecutive frames is one entry
    // with a count, the oldest entries beyond MaxEventLogEntries forgotten.
    const std::deque<EventRecord>& events() const;
    // The entries from mark on; the mark moves past them and the last entry
    // is closed, so that a later repeat starts a new one.
    std::vector<EventRecord> eventsSince(EventMark& mark);
    void clearEvents();
    const std::vector<int>& trapsCalled() const;   // distinct slots, in order of first call
    // The wave clips the switches played since last asked, in order (a bounded few).
    std::vector<uint32_t> takeClipsPlayed();
    // A resource of the module's file ("BITMAP" or "WAVE"); empty when it has none.
    std::span<const unsigned char> moduleResource(const char* type, uint32_t number) const;
    uint64_t frameNumber() const;
    double simulationTime() const;
    double timeOfDay() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace devhost
