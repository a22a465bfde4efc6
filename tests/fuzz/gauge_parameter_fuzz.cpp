// Parameter texts through the real gauges: the engine number of the engine
// gauges, the commands of the panel buttons, the registration plate's style
// and text. Each input places one gauge with the text as its parameter,
// runs frames, moves the mouse over it, clicks it and removes it again, in
// one module loaded once (a module loaded afresh for every input would leave
// the fuzzer a new copy of its code to watch each time).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "tests/fuzz/shared_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    devhost::Host& h = sharedHost();
    static const std::vector<devhost::GaugeInfo> gauges = h.gaugeList();
    const devhost::GaugeInfo& chosen = gauges[data[0] % gauges.size()];
    // The host hands a parameter as a C string: it ends at the first NUL.
    std::string parameter(reinterpret_cast<const char*>(data + 1), size - 1);
    parameter.resize(parameter.find('\0') == std::string::npos ? parameter.size() : parameter.find('\0'));

    devhost::GaugeInstance& gauge = h.place(chosen.name, parameter);
    h.frame(2);
    const Point pixels = gauge.gaugePixels();
    for (int k = 0; k < 4; ++k) {
        const Point at{pixels.x * (2 * k + 1) / 8, pixels.y * (2 * k + 1) / 8};
        (void)h.hoverGaugePixel(gauge, at);
        h.clickGaugePixel(gauge, at, k % 2 ? ClickRight : ClickLeft);
    }
    h.frame();
    (void)h.probe(gauge);
    h.notifyAll(14);
    h.remove(gauge);
    h.clearEvents();
    return 0;
}
