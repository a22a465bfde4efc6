// The simulator's panel-file syntax ([Window Titles], [WindowNN], gaugeNN=
// lines), so that a designer can point the development host at a real panel
// file, and the built-in default panel that places all 41 gauges.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace devhost {

struct PlacedGauge {
    std::string module;             // text before '!', e.g. "Vardex_Instr"
    std::string gauge;              // e.g. "Airspeed"
    int x = 0, y = 0;               // panel pixels
    std::optional<int> width;       // placed size; absent: the host's default
    std::optional<int> height;
    std::string parameter;          // everything after the size fields, trimmed; may be empty
    int line = 0;                   // where it stands in the file
};

struct PanelWindowSpec {
    int number = 0;                 // NN of [WindowNN]
    std::string title;              // from [Window Titles], or "" when none
    int sizeX = 0, sizeY = 0;       // size_mm
    int posX = 0, posY = 0;         // position (grid 0-8) mapped to pixels, or window_pos
    bool visible = true;
    int ident = -1;                 // ident=, -1 when absent; names like MAIN_PANEL are mapped to numbers
    std::vector<PlacedGauge> gauges;
};

struct Panel {
    std::string source;             // file name, or "<built-in>"
    std::vector<PanelWindowSpec> windows;
};

// A malformed panel file: names the file, the line and the problem.
class PanelError : public std::runtime_error {
public:
    PanelError(std::string file, int line, std::string problem);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& problem() const { return problem_; }

private:
    std::string file_, problem_;
    int line_;
};

Panel parsePanel(std::string_view text, std::string_view fileName);
Panel loadPanel(const std::string& path);  // throws PanelError (line 0) when unreadable

std::string_view defaultPanelText();       // the same text as examples/default_panel.cfg
Panel defaultPanel();

}  // namespace devhost
