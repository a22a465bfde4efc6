// Edits to a panel file, in any order and with any text: each is made or
// refused whole (a PanelEditError, the text as it was), and after each the
// text, read again as the file would be on opening, is the panel the
// document holds. A field that came to hold a line end or a comment would
// read back as another panel, or not at all. The input picks the edits and
// their values; the panel is the designer's, with its two bitmaps beside it.
// No control byte but line ends and tabs is ever written.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "devhost/core/panel_document.h"
#include "tests/designer_panel.h"

namespace {

struct Folder {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("panel_edit_fuzz_" + std::to_string(getpid()));
    std::string panel = devhost::testing::writeDesignerPanel(folder);
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

devhost::GaugePlace placeOf(FuzzedDataProvider& in)
{
    devhost::GaugePlace place{in.ConsumeIntegralInRange(-200000, 200000), in.ConsumeIntegralInRange(-200000, 200000)};
    if (in.ConsumeBool())
        place.width = in.ConsumeIntegralInRange(-10, 40000), place.height = in.ConsumeIntegralInRange(-10, 40000);
    return place;
}

// Mostly a window of the panel and a gauge of it; now and then any number.
devhost::GaugeKey keyOf(const devhost::PanelDocument& document, FuzzedDataProvider& in)
{
    const auto& windows = document.panel().windows;
    if (windows.empty() || in.ConsumeIntegralInRange(0, 7) == 0)
        return {in.ConsumeIntegralInRange(-1, 1002), in.ConsumeIntegralInRange(0, 5)};
    const devhost::PanelWindowSpec& w = windows[in.ConsumeIntegralInRange<size_t>(0, windows.size() - 1)];
    return {w.number, w.gauges.empty() ? 0 : w.gauges[in.ConsumeIntegralInRange<size_t>(0, w.gauges.size() - 1)].number};
}

void edit(devhost::PanelDocument& document, FuzzedDataProvider& in, const std::string& earlier)
{
    const int window = keyOf(document, in).window;
    switch (in.ConsumeIntegralInRange(0, 13)) {
    case 0: document.apply(devhost::MoveGauge{keyOf(document, in), placeOf(in)}); break;
    case 1: {
        std::string name = in.ConsumeRandomLengthString(40);
        const devhost::GaugePlace place = placeOf(in);
        document.apply(devhost::AddGauge{window, std::move(name), place, in.ConsumeRandomLengthString(40)});
        break;
    }
    case 2: document.apply(devhost::MoveGauge{keyOf(document, in), placeOf(in), window}); break;
    case 3: document.apply(devhost::RemoveGauge{keyOf(document, in)}); break;
    case 4: document.renumberGauges(window); break;
    case 5: document.setWindowSize(window, in.ConsumeIntegralInRange(-5, 40000), in.ConsumeIntegralInRange(-5, 40000)); break;
    case 6: document.setWindowPosition(window, in.ConsumeIntegralInRange(-1, 9)); break;
    case 7: document.setWindowVisible(window, in.ConsumeBool()); break;
    case 8:
        document.setWindowBackgroundColour(window, {in.ConsumeIntegralInRange(-1, 256), in.ConsumeIntegralInRange(-1, 256),
                                                    in.ConsumeIntegralInRange(-1, 256)});
        break;
    case 9: document.setWindowBitmap(window, in.ConsumeBool() ? "panel_1024.bmp" : in.ConsumeRandomLengthString(40)); break;
    case 10: document.setWindowTitle(window, in.ConsumeRandomLengthString(40)); break;
    case 11: document.addWindow(window, in.ConsumeIntegralInRange(-5, 40000), in.ConsumeIntegralInRange(-5, 40000)); break;
    case 12: document.findGauge(in.ConsumeRandomLengthString(20)); break;
    default: document.restore(earlier); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Folder folder;
    FuzzedDataProvider in(data, size);
    devhost::PanelDocument document(devhost::testing::designerPanelText(), folder.panel);
    std::string earlier = document.text();
    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const std::string before = document.text();
        try {
            edit(document, in, earlier);
        } catch (const devhost::PanelEditError&) {
            if (document.text() != before)
                std::abort();
        }
        const std::string text = document.text();
        if (std::any_of(text.begin(), text.end(), [](char c) {
                return (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F;
            }))
            std::abort();
        try {
            if (!(devhost::parsePanel(text, folder.panel) == document.panel()))
                std::abort();
        } catch (const devhost::PanelError&) {
            std::abort();
        }
        if (in.ConsumeBool())
            earlier = before;
    }
    return 0;
}
