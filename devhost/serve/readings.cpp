#include "devhost/serve/readings.h"

#include "devhost/core/tooltip_format.h"

namespace devhost {

// The tooltip the module prints over the gauge's middle (the reading it
// offers the pilot), and the texts its string elements show.
std::vector<std::string> gaugeReadings(Host& host, GaugeInstance& gauge)
{
    std::vector<std::string> readings;
    const Point middle{gauge.gaugePixels().x / 2, gauge.gaugePixels().y / 2};
    if (std::string tip = windows1252ToUtf8(host.hoverGaugePixel(gauge, middle)); !tip.empty())
        readings.push_back(std::move(tip));
    for (const ElementSnapshot& element : host.probe(gauge).elements)
        if (element.kind == String && !element.hidden && !element.text.empty())
            readings.push_back(windows1252ToUtf8(element.text));
    return readings;
}

}  // namespace devhost
