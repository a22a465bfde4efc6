// Panel files: any text is read or refused with a PanelError that names a
// line of the text; nothing else may come out of the parser. Its lines
// joined again, and a file opened for editing and saved unedited, are the
// text, byte for byte. The panel
// stands in a folder with background art (panel_1024.bmp, 24-bit, and
// panel_background.bmp, 8-bit; a cut.bmp and a text.bmp), so that file=
// lines are read too.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "devhost/core/panel_document.h"
#include "devhost/core/panel_file.h"
#include "tests/designer_panel.h"

namespace {

// The folder is made once and removed when the fuzzer ends.
struct ArtFolder {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("panel_file_fuzz_" + std::to_string(getpid()));
    std::string panel = devhost::testing::writeDesignerPanel(folder);
    ArtFolder()
    {
        auto cut = devhost::testing::bmpFile(20, 10, 24, [](int, int) { return 0x808080u; });
        cut.resize(cut.size() - 7);
        devhost::testing::writeFile(folder / "cut.bmp", cut);
        devhost::testing::writeFile(folder / "text.bmp", {'B', 'M', 'x'});
    }
    ~ArtFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ArtFolder art;
    const std::string& fileName = art.panel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (devhost::joinPanelLines(devhost::splitPanelLines(text)) != text)
        std::abort();
    try {
        if (devhost::PanelDocument(text, fileName).text() != text)
            std::abort();
    } catch (const devhost::PanelError&) {
    }
    try {
        const devhost::Panel panel = devhost::parsePanel(text, fileName);
        for (const devhost::PanelWindowSpec& window : panel.windows)
            if (window.sizeX < 0 || window.sizeX > devhost::MaxDrawnPixels || window.sizeY < 0 ||
                window.sizeY > devhost::MaxDrawnPixels)
                std::abort();
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
