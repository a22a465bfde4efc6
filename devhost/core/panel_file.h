// The simulator's panel-file syntax ([Window Titles], [WindowNN], gaugeNN=
// lines), so that a designer can point the development host at a real panel
// file, and the built-in default panel that places all 41 gauges.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/input_error.h"

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

// Something in a panel file that the development host passes over (an
// unknown key or section, a title for a window that does not exist).
struct PanelWarning {
    int line = 0;
    std::string message;
};

// A colour of the [Color] section, 0 to 255 per channel.
struct PanelColour {
    int r = 255, g = 255, b = 255;
    bool operator==(const PanelColour&) const = default;
};

// How the panel looks in the light it is seen in: every element is
// multiplied by the day colour in daylight; at night the elements that are
// lit by the panel's own lights take the luminous colour and the rest sink
// to the night colour. Without a [Color] section the panel is seen as
// drawn by day, in a faint blue at night and under warm white lamps.
struct PanelColours {
    PanelColour day{255, 255, 255};
    PanelColour night{34, 38, 52};
    PanelColour luminous{255, 238, 210};
    bool operator==(const PanelColours&) const = default;
};

struct Panel {
    std::string source;             // file name, or "<built-in>"
    PanelColours colours;           // from [Color], or the defaults
    std::vector<PanelWindowSpec> windows;   // by window number
    std::vector<PanelWarning> warnings;     // in file order
};

// The screen that position= and window_pos= place windows on, in pixels.
inline constexpr int PanelScreenWidth = 1024;
inline constexpr int PanelScreenHeight = 768;

// The largest side, in pixels, of a window or a placed gauge: the renderer's
// pictures (Cairo image surfaces) can be no larger.
inline constexpr int MaxDrawnPixels = 32767;

// The panel-window identifier a name of the ident= key stands for
// (MAIN_PANEL 0, RADIO_STACK_PANEL 50, ...; case does not matter).
std::optional<int> panelWindowIdent(std::string_view name);

// A malformed panel file: names the file, the line and the problem.
class PanelError : public InputError {
public:
    using InputError::InputError;
};

// The syntax read:
// - Comments: lines whose first character is ';', and "//" to the end of any
//   line (so a parameter text cannot hold "//"; a single '/' stays in it,
//   where the gauges take it as their own comment marker). Blank lines, a
//   UTF-8 byte-order mark and line endings LF, CR LF or CR are fine. Section names
//   and keys are case-insensitive.
// - [Window Titles] with WindowNN=Title; [WindowNN] sections with size_mm=w,h,
//   position=0..8 (a 3x3 grid over the screen, 0 top left, 8 bottom right) or
//   window_pos=x,y (fractions of the screen, 0 to 1; wins over position),
//   visible=0|1, ident=number|name, and gaugeNN= lines. [Color] with
//   day=, night= and luminous=R,G,B (whole numbers 0 to 255). Other sections
//   (e.g. [Vcockpit01]) and other keys are passed over with a warning.
// - gaugeNN=Module!Gauge, x, y[, w[, h]][, parameter]: x and y whole numbers
//   (may be negative), w and h positive whole numbers up to MaxDrawnPixels
//   or empty (the gauge's own size); the parameter is the rest of the line after the fifth comma,
//   commas included, trimmed, so it can only be given after the width and
//   height fields (which may be left empty: "M!G, 0, 0, , , 2"). Gauges are
//   kept in the order of their numbers NN.
// Errors: a line that is neither a section, a key=value nor a comment; a
// section header without ']'; a window or a gauge number given twice; a
// gauge line outside a window section; a gauge without '!' or a name on
// either side; non-numeric or out-of-range numbers; a colour that is not
// three channels 0 to 255.
Panel parsePanel(std::string_view text, std::string_view fileName);
// Throws PanelError (line 0) when unreadable, a folder, or placing no gauge
// in any window (an empty file is an empty panel).
Panel loadPanel(const std::string& path);

std::string_view defaultPanelText();       // the same text as examples/default_panel.cfg
Panel defaultPanel();

}  // namespace devhost
