// The layout editor behind the live page's edit mode: the panel file as a
// PanelDocument, the page's edits carried out on it one at a time (each
// checked by the panel reader, refused whole), undo and redo, and the
// layout as the editor draws it, with the checks a designer wants.
// Only the file named when serving started is ever written.
#pragma once

#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/panel_document.h"

namespace devhost {

// Undo reaches back this many edits.
inline constexpr size_t MaxUndoSteps = 200;

class LayoutEditor {
public:
    // Not `canSave`: the built-in panel, edited but never saved.
    LayoutEditor(PanelDocument document, bool canSave);

    const Panel& panel() const { return document_.panel(); }

    // Brings the running panel in line with an edited one; throws
    // InputError when it cannot, the running panel then as it was.
    using Follow = std::function<void(const Panel&)>;

    // One edit as the page sends it ("op": move, add, remove, window,
    // add_window, undo, redo), made on a copy of the document and kept
    // once `follow` took it. RequestError when the document or `follow`
    // refuses it: nothing changed.
    void edit(const nlohmann::json& body, const Host& host, const Follow& follow);
    // Writes the file. RequestError 409 when it changed on disk (unless
    // `force`), 422 when it cannot be written; the file untouched then.
    void save(bool force);
    // Writes the panel as a new file `name` (a plain name ending in .cfg,
    // one Windows takes) beside the panel file, or for the built-in panel
    // in the folder serving started in; the editor saves there from then
    // on. Refused: 400 for a name not such a name, 409 when the file
    // exists (in any case of the name), 422 when it cannot be written.
    void saveAs(std::string_view name);

    // Saving in three steps, so that the file is read and written without
    // the lock the editor is kept under: the document as it is now, taken
    // under the lock; saved (save or saveAs above) without it; and the
    // editor told under it again, keeping any edit made meanwhile.
    class Saving {
    public:
        void save(bool force);
        void saveAs(std::string_view name);

    private:
        friend class LayoutEditor;
        Saving(PanelDocument document, bool canSave);

        PanelDocument document_;
        bool canSave_;
    };
    Saving saving() const;
    void saved(const Saving& saving);

    // Windows, gauges (with their line's key and their effective size),
    // the checks, the panel folder's bitmaps and the module's gauges.
    nlohmann::json describe(const Host& host) const;

private:
    // The page's edit as the document takes it; RequestError when the body
    // does not say one.
    PanelEdit decode(const PanelDocument& document, const nlohmann::json& body, const Host& host) const;
    WindowSettings windowSettings(const PanelDocument& document, const nlohmann::json& body) const;
    std::vector<std::string> folderBitmaps() const;

    PanelDocument document_;
    std::vector<std::string> undo_, redo_;
    bool canSave_;
    std::string saved_;   // the text as last saved or read
};

}  // namespace devhost
