// The simulator's panel-file syntax ([Window Titles], [WindowNN], gaugeNN=
// lines), so that a designer can point the development host at a real panel
// file, and the built-in default panel that places all 41 gauges.
#pragma once

#include <memory>
#include <optional>
#include <span>
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
    int number = 0;                 // NN of its gaugeNN key
    bool operator==(const PlacedGauge&) const = default;
};

// A colour of the panel file, 0 to 255 per channel.
struct PanelColour {
    int r = 255, g = 255, b = 255;
    bool operator==(const PanelColour&) const = default;
};

// A window's background art: the BMP its file= (or file_NNNN=) line names,
// found beside the panel file, read and checked when the panel is read.
struct PanelBackground {
    std::string path;               // as found on disk
    int line = 0;                   // the file= line
    int width = 0, height = 0;      // the bitmap's own pixels
    std::shared_ptr<const std::string> bytes;   // the whole BMP file
    bool operator==(const PanelBackground& other) const
    {
        return path == other.path && line == other.line && width == other.width && height == other.height &&
               (bytes == other.bytes || (bytes && other.bytes && *bytes == *other.bytes));
    }
};
inline std::span<const unsigned char> panelBackgroundBytes(const std::string& bytes)
{
    return {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

// The numbers windows go by: [WindowNN] is NN (0 to MaxWindowNumber), a
// virtual cockpit panel [VcockpitNN] is VirtualCockpitNumbers + NN, so that
// both can be named wherever a window number is.
inline constexpr int MaxWindowNumber = 999;
inline constexpr int VirtualCockpitNumbers = 1000;
inline constexpr int MaxVirtualCockpitNumber = VirtualCockpitNumbers + 99;

struct PanelWindowSpec {
    int number = 0;                 // NN of [WindowNN]; VirtualCockpitNumbers + NN of [VcockpitNN]
    int line = 0;                   // of its [WindowNN] header
    std::string title;              // from [Window Titles] (UTF-8), "VC01 $texture" for a virtual cockpit, or ""
    std::string name;               // "VC01" for [Vcockpit01], "" for other windows
    bool virtualCockpit = false;
    int sizeX = 0, sizeY = 0;       // pixels drawn: size_mm (a virtual cockpit: pixel_size, its texture)
    // A virtual cockpit places its gauges in size_mm units on a texture of
    // pixel_size: gauge positions and sizes are multiplied by these.
    double gaugeScaleX = 1.0, gaugeScaleY = 1.0;
    int posX = 0, posY = 0;         // position (grid 0-8) mapped to pixels, or window_pos
    std::optional<int> grid;        // position= as written
    bool visible = true;
    int ident = -1;                 // ident=, -1 when absent; names like MAIN_PANEL are mapped to numbers
    int zorder = 0;                 // zorder=: higher lies on top
    std::optional<PanelColour> backgroundColour;   // background_color=
    std::optional<PanelBackground> background;     // file= / file_NNNN=
    std::vector<PlacedGauge> gauges;
    bool operator==(const PanelWindowSpec&) const = default;
};

// Something in a panel file that the development host passes over (an
// unknown key or section, a title for a window that does not exist).
struct PanelWarning {
    int line = 0;
    std::string message;
    bool operator==(const PanelWarning&) const = default;
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
    std::vector<PanelWindowSpec> windows;   // in drawing order: by zorder, then by number
    std::vector<PanelWarning> warnings;     // in file order
    bool operator==(const Panel&) const = default;
};

// The screen that position= and window_pos= place windows on, in pixels.
inline constexpr int PanelScreenWidth = 1024;
inline constexpr int PanelScreenHeight = 768;

// The largest side, in pixels, of a window or a placed gauge: the renderer's
// pictures (Cairo image surfaces) can be no larger.
inline constexpr int MaxDrawnPixels = 32767;

// The most pixels a panel may ask to be drawn, its windows and its gauges
// together (four screens of 3840x2160): the renderer keeps a few pictures
// of each, four bytes a pixel, so this bounds what a panel (or a typo in
// one) can make it allocate to about a gigabyte.
inline constexpr long long MaxPanelPixels = 32LL << 20;

// How a panel file is read.
struct PanelReadOptions {
    // The screen width the file_NNNN= backgrounds are chosen for.
    int screenWidth = PanelScreenWidth;
};

// The window a text names: its number ("1"), its title ("Radio Stack") or
// a virtual cockpit's name ("VC01", "Vcockpit01"), case aside. Nothing
// when none does.
const PanelWindowSpec* findWindow(const Panel& panel, std::string_view text);
// "0 Main Panel, 1 Radio Stack, 1001 VC01": what findWindow takes, for messages.
std::string windowList(const Panel& panel);

// The panel-window identifier a name of the ident= key stands for
// (MAIN_PANEL 0, RADIO_STACK_PANEL 50, ...; case does not matter).
std::optional<int> panelWindowIdent(std::string_view name);

// A malformed panel file: names the file, the line and the problem.
class PanelError : public InputError {
public:
    using InputError::InputError;
};

// One line of a panel file as written: its bytes, without the line end,
// and the end it had ("\n", "\r\n", "\r", or "" for a last line without
// one). The reader and the file's editor (panel_document.h) both work on
// these records, so that the two cannot read a line differently.
struct PanelLine {
    std::string text;
    std::string ending;
};

// The file's lines, its UTF-8 byte-order mark (if any) set apart: joined
// with their ends after `bom`, they are the file's bytes again.
struct PanelLines {
    std::string bom;
    std::vector<PanelLine> lines;
};
PanelLines splitPanelLines(std::string_view text);
std::string joinPanelLines(const PanelLines& lines);

// What a line holds, as offsets into its text: the code before a comment
// ("//" or ';'), and in it a [section]'s name or a key=value's key and
// value, each without the blanks around it.
struct PanelLineParts {
    enum class Kind { Blank, Section, KeyValue, Other } kind = Kind::Blank;
    size_t codeBegin = 0, codeEnd = 0;     // trimmed code
    size_t nameBegin = 0, nameEnd = 0;     // section name, or key
    size_t valueBegin = 0, valueEnd = 0;   // value of key=value
};
PanelLineParts panelLineParts(std::string_view text);
// A value as the reader takes it: without the blanks around it.
std::string_view trimmedPanelText(std::string_view text);

// The syntax read:
// - Comments: "//" and ';' to the end of any line, whole-line or trailing
//   (so a parameter text cannot hold them; a single '/' stays in it, where
//   the gauges take it as their own comment marker). Blank lines, spaces and
//   tabs around keys and values, a UTF-8 byte-order mark, any bytes in
//   comments and line endings LF, CR LF or CR are fine. Section names and
//   keys are case-insensitive. A UTF-16 file is refused as such.
// - [Window Titles] with WindowNN=Title (ANSI text is taken as Windows-1252);
//   [WindowNN] sections (NN 0 to 999) with size_mm=w,h or size_mm=w (the
//   height then follows the proportions of the background bitmap), file= or
//   file_NNNN= (a BMP beside the panel file, its name matched whatever the
//   case; of several, the file_NNNN with the largest NNNN not above the
//   screen width, else file=, else the narrowest; no size_mm: the bitmap's
//   size), background_color=R,G,B, position=0..8 (a 3x3 grid over the
//   screen, 0 top left, 8 bottom right) or window_pos=x,y (fractions of the
//   screen, 0 to 1; wins over position), visible=0|1, ident=number|name,
//   zorder=n, and gaugeNN= lines. Keys the simulator honours that have no
//   meaning here (window_size, window_size_ratio, nomenu, render_3d_window,
//   ...) are taken silently. [VcockpitNN] sections with size_mm=w,h (the
//   gauges' units), pixel_size=w,h (the texture drawn), texture=,
//   background_color= and gaugeNN= lines. [Color] with day=, night= and
//   luminous=R,G,B (whole numbers 0 to 255). [Views], [Default View] and
//   [fltsim] are taken silently; other sections and other keys are passed
//   over with a warning, as is a window number out of range.
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
// three channels 0 to 255; a background bitmap missing, unreadable, not a
// BMP or cut short; a one-number size_mm without a bitmap; a window larger
// than the renderer draws, or windows that together ask for more than
// MaxPanelPixels.
// Background bitmaps are looked for in the folder of fileName.
Panel parsePanel(std::string_view text, std::string_view fileName, const PanelReadOptions& options = {});
// The same from the file's lines (whose encoding has been checked).
Panel parsePanelLines(const PanelLines& lines, std::string_view fileName, const PanelReadOptions& options = {});
// Throws PanelError (line 0) when unreadable, a folder, or placing no gauge
// in any window (an empty file is an empty panel).
Panel loadPanel(const std::string& path, const PanelReadOptions& options = {});

std::string_view defaultPanelText();       // the same text as examples/default_panel.cfg
Panel defaultPanel();

// Windows that share an ident with an earlier one (the same ident twice
// makes the simulator open one of them only): each with the line of the one
// before. Windows in file order.
struct SharedIdent {
    int window = 0, line = 0, ident = 0, firstLine = 0;
    std::string message() const;
};
std::vector<SharedIdent> sharedIdents(const std::vector<PanelWindowSpec>& windows);

}  // namespace devhost
