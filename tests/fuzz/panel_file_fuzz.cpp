// Panel files: any text is read or refused with a PanelError that names a
// line of the text; nothing else may come out of the parser.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "devhost/core/panel_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const devhost::Panel panel = devhost::parsePanel(text, "fuzz.cfg");
        for (const devhost::PanelWindowSpec& window : panel.windows)
            for (const devhost::PlacedGauge& gauge : window.gauges)
                if (gauge.module.empty() || gauge.gauge.empty() || gauge.line < 1 ||
                    (gauge.width && (*gauge.width < 1 || *gauge.width > devhost::MaxDrawnPixels)))
                    std::abort();
    } catch (const devhost::PanelError& error) {
        if (error.line() < 0 || error.problem().empty() || error.problem().size() > 1000)
            std::abort();
    }
    return 0;
}
