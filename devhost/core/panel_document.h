// A panel file opened for editing: every byte of it kept (comments, blank
// lines, key spelling and order, unknown keys and sections, each line's own
// end, the encoding), so that saving rewrites only the lines an edit
// changed. What the host places is read from the same lines by the panel
// reader, after every edit, so that an edit the reader would refuse is
// refused before it reaches the file.
#pragma once

#include <functional>
#include <optional>
#include <variant>
#include <string>
#include <string_view>

#include "devhost/core/file_writer.h"
#include "devhost/core/input_error.h"
#include "devhost/core/panel_file.h"

namespace devhost {

// Where a gauge goes: panel pixels, and a size, or none to keep the size
// its line gives (a new gauge then takes its own size).
struct GaugePlace {
    int x = 0, y = 0;
    std::optional<int> width, height;
};

// A gauge of the file: its window's number and the NN of its gaugeNN key.
struct GaugeKey {
    int window = 0;
    int number = 0;
    bool operator==(const GaugeKey&) const = default;
};

// One edit of a panel: what each front end (the live page, `devhost
// panel`) decodes its input into, and PanelDocument::apply makes.
struct MoveGauge {
    GaugeKey key;
    GaugePlace place;
    std::optional<int> toWindow;   // another window, the gauge's size (unless given) and parameter kept
};
struct AddGauge {
    int window = 0;
    std::string name;              // Module!Gauge
    GaugePlace place;
    std::string parameter;
};
struct RemoveGauge {
    GaugeKey key;
};
struct RenumberGauges {            // 0, 1, ... in drawing order
    int window = 0;
};
struct WindowSettings {            // each one given rewrites its key's line, or adds one
    int window = 0;
    std::optional<std::pair<int, std::optional<int>>> size;   // size_mm= W[,H]
    std::optional<int> position;   // 0 to 8
    std::optional<bool> visible;
    std::optional<PanelColour> backgroundColour;
    std::optional<std::string> bitmap;   // the file= line the host draws
    std::optional<std::string> title;    // UTF-8
};
struct AddWindow {
    std::optional<int> number;     // none: after the highest of the panel's windows (virtual cockpits aside)
    int width = 0, height = 0;
};
using PanelEdit = std::variant<MoveGauge, AddGauge, RemoveGauge, RenumberGauges, WindowSettings, AddWindow>;

// The line an edit concerns, the gauge's or the window's, as the file has
// it after the edit (a removed gauge's as it was).
struct EditedLine {
    int line = 0;
    std::string text;
};

// An edit refused or a file not written; the message says why, and the
// document and the file are as they were.
class PanelEditError : public InputError {
public:
    using InputError::InputError;
};

// A file not written, and why: callers answer "exists" apart from a disk
// or a folder that refuses.
class PanelWriteError : public PanelEditError {
public:
    PanelWriteError(std::string file, WriteFailure reason, std::string problem)
        : PanelEditError(std::move(file), 0, std::move(problem)), reason_(reason)
    {
    }
    WriteFailure reason() const { return reason_; }

private:
    WriteFailure reason_;
};

class PanelDocument {
public:
    // Throws PanelError when the file cannot be read or the reader refuses it.
    static PanelDocument load(const std::string& path, const PanelReadOptions& options = {});
    PanelDocument(std::string_view text, std::string path, const PanelReadOptions& options = {});

    const Panel& panel() const { return panel_; }
    const std::string& path() const { return path_; }
    std::string text() const;                  // the bytes the file would have
    const PanelWindowSpec& window(int number) const;   // throws PanelEditError when absent
    const PlacedGauge& gauge(GaugeKey key) const;
    std::string gaugeKeyText(GaugeKey key) const;      // "gauge04" as written

    // The one gauge `name` names: its gauge name or module!gauge (case
    // aside), or its line's key ("gauge04"); only in `window` when given.
    // None, or more than one (listed), throws PanelEditError.
    GaugeKey findGauge(std::string_view name, std::optional<int> window = std::nullopt) const;

    // Makes one edit, whole or not at all: PanelEditError leaves the
    // document as it was.
    EditedLine apply(const PanelEdit& edit);

    // Gauges. A new gauge takes the number after the highest of its window
    // and its line goes after that gauge's; a removed gauge's neighbours
    // keep their numbers unless renumbered (0, 1, ... in drawing order).
    void moveGauge(GaugeKey key, const GaugePlace& place);
    GaugeKey addGauge(int window, std::string_view moduleAndGauge, const GaugePlace& place,
                      std::string_view parameter = {});
    // To another window, with its size (unless given) and parameter text.
    GaugeKey moveGaugeToWindow(GaugeKey key, int window, const GaugePlace& place);
    void removeGauge(GaugeKey key);
    void renumberGauges(int window);

    // Windows: each setting rewrites its key's line, or adds one.
    void setWindowSize(int window, int width, std::optional<int> height);
    void setWindowPosition(int window, int grid);   // 0 to 8
    void setWindowVisible(int window, bool visible);
    void setWindowBackgroundColour(int window, PanelColour colour);
    void setWindowBitmap(int window, std::string_view fileName);   // the file= line the host draws
    void setWindowTitle(int window, std::string_view title);        // UTF-8
    void addWindow(int number, int width, int height);

    // Puts back an earlier text of the document (an undo or a redo), read
    // as an edit is; the file and its backup stay as they are.
    void restore(std::string_view text);
    // Writes the edits to the file (writeFileWhole; a panel file that is a
    // link stays one, the file it leads to written). Before the document's
    // first write, the file as it is is copied to FILE.bak. Refused
    // (PanelWriteError), the file untouched, when the file changed since it
    // was read (ChangedOnDisk, unless `force`), is read-only or not a plain
    // file, or cannot be written. Nothing is written when nothing changed.
    // `beforeCheck` runs right before the writer's look at the file: tests
    // change it there.
    void save(bool force = false, const std::function<void()>& beforeCheck = {});
    // Writes the document as a new file, which it is from then on (saved
    // there, with no .bak: there was nothing before it). Refused
    // (PanelWriteError) when the file exists, even as another case of the
    // name, or cannot be written.
    void saveAs(const std::string& path);
    // This document is a copy of `saved`, which was saved meanwhile: the
    // file `saved` wrote is this document's file from now on, as written.
    void tookOverFile(const PanelDocument& saved);

private:
    // The panel the edited lines make, read back from their bytes as the
    // file would be; PanelEditError, saying `what` was refused, when the
    // reader refuses them or they would not read back as the same lines.
    Panel reread(const PanelLines& edited, std::string_view what) const;
    void replaceLines(PanelLines edited, std::string_view what);
    void setWindowValue(int window, std::string_view key, const std::string& value);

    PanelLines lines_;
    Panel panel_;
    std::string path_;
    PanelReadOptions options_;
    std::string onDisk_;      // the file's bytes as read or last written
    bool backedUp_ = false;
};

}  // namespace devhost
