#include "devhost/serve/layout_editor.h"

#include <fmt/format.h>

#include <algorithm>
#include <filesystem>

#include "devhost/core/panel_checks.h"
#include "devhost/core/suggest.h"
#include "devhost/serve/request_error.h"

namespace devhost {

namespace {

using Json = nlohmann::json;

// Places on the panel: well beyond any screen, well within a line's numbers.
constexpr long long FarthestPixel = 100000;

std::string_view checkKind(PanelCheck::Kind kind)
{
    switch (kind) {
    case PanelCheck::Kind::Overlap: return "overlap";
    case PanelCheck::Kind::Outside: return "outside";
    case PanelCheck::Kind::Blurred: return "blurred";
    case PanelCheck::Kind::SameIdent: return "same_ident";
    case PanelCheck::Kind::Empty: return "empty";
    }
    return "";
}

std::string colourText(const PanelColour& c) { return fmt::format("#{:02x}{:02x}{:02x}", c.r, c.g, c.b); }

PanelColour colourOf(const Json& body)
{
    const std::string text = textField(body, "background_color");
    unsigned r = 0, g = 0, b = 0;
    if (text.size() != 7 || text[0] != '#' ||
        !std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }) ||
        std::sscanf(text.c_str() + 1, "%2x%2x%2x", &r, &g, &b) != 3)
        throw RequestError(fmt::format("\"background_color\" is \"{}\": give it as #rrggbb", excerpt(std::string_view(text))));
    return {int(r), int(g), int(b)};
}

GaugePlace placeOf(const Json& body)
{
    GaugePlace place{.x = int(integerField(body, "x", -FarthestPixel, FarthestPixel)),
                     .y = int(integerField(body, "y", -FarthestPixel, FarthestPixel))};
    if (body.contains("width") && !body["width"].is_null())
        place.width = int(integerField(body, "width", 1, MaxDrawnPixels));
    if (body.contains("height") && !body["height"].is_null())
        place.height = int(integerField(body, "height", 1, MaxDrawnPixels));
    return place;
}

GaugeKey keyOf(const Json& body)
{
    return {int(integerField(body, "window", 0, MaxVirtualCockpitNumber)), int(integerField(body, "gauge", 0, 999))};
}

// A name taken is the one conflict the user resolves by choosing again, as
// a file changed on disk is; a disk or a folder that refuses is not.
RequestError refusal(const PanelWriteError& refused)
{
    if (refused.reason() == WriteFailure::ChangedOnDisk)
        return RequestError(fmt::format("{} changed on disk since it was read (by another program?); nothing "
                                        "written. Save anyway writes over it.",
                                        refused.file()),
                            409);
    return RequestError(refused.what(), refused.reason() == WriteFailure::Exists ? 409 : 422);
}

// A window's gauges as the editor draws them: each with its line's key,
// whether it is the module's, and the size it is drawn at.
Json gaugesOf(const PanelDocument& document, const PanelWindowSpec& w, const ModuleGauges& module)
{
    Json gauges = Json::array();
    for (const PlacedGauge& g : w.gauges) {
        const std::optional<Point> own = module.ownSize(g);
        const Point size = module.placedSize(g);
        gauges.push_back({{"key", g.number},
                          {"label", document.gaugeKeyText({w.number, g.number})},
                          {"module", g.module},
                          {"gauge", g.gauge},
                          {"ours", own.has_value()},
                          {"x", g.x},
                          {"y", g.y},
                          {"width", size.x},
                          {"height", size.y},
                          {"size_given", g.width.has_value() || g.height.has_value()},
                          {"own", own ? Json::array({own->x, own->y}) : Json(nullptr)},
                          {"parameter", g.parameter},
                          {"line", g.line}});
    }
    return gauges;
}

}  // namespace

LayoutEditor::LayoutEditor(PanelDocument document, bool canSave)
    : document_(std::move(document)), canSave_(canSave), saved_(document_.text())
{
}

void LayoutEditor::edit(const Json& body, const Host& host, const Follow& follow)
{
    const std::string op = textField(body, "op");
    std::vector<std::string>* from = op == "undo" ? &undo_ : op == "redo" ? &redo_ : nullptr;
    if (from && from->empty())
        throw RequestError(fmt::format("nothing to {}", op), 409);
    PanelDocument edited = document_;
    try {
        if (from)
            edited.restore(from->back());
        else
            edited.apply(decode(edited, body, host));
    } catch (const PanelEditError& error) {
        throw RequestError(error.what(), 422);
    }
    std::string before = document_.text();
    if (!from && edited.text() == before)
        return;
    try {
        follow(edited.panel());
    } catch (const InputError& error) {
        throw RequestError(error.what(), 422);
    }
    document_ = std::move(edited);
    if (from) {
        from->pop_back();
        (op == "undo" ? redo_ : undo_).push_back(std::move(before));
        return;
    }
    undo_.push_back(std::move(before));
    if (undo_.size() > MaxUndoSteps)
        undo_.erase(undo_.begin());
    redo_.clear();
}

PanelEdit LayoutEditor::decode(const PanelDocument& document, const Json& body, const Host& host) const
{
    const std::string op = textField(body, "op");
    const auto windowOf = [&] { return int(integerField(body, "window", 0, MaxVirtualCockpitNumber)); };
    if (op == "move") {
        const GaugeKey key = keyOf(body);
        document.gauge(key);   // that it exists
        MoveGauge move{key, placeOf(body)};
        if (body.contains("to_window") && body["to_window"] != body["window"])
            move.toWindow = int(integerField(body, "to_window", 0, MaxVirtualCockpitNumber));
        return move;
    }
    if (op == "add") {
        std::string name = textField(body, "name");
        if (name.find('!') == std::string::npos) {
            // This module's gauge, by its name as the module lists it.
            const ModuleGauges module = host.moduleGauges();
            if (!module.gauges().empty() && !module.find(name))
                throw RequestError(fmt::format("the module has no gauge named \"{}\"; give another module's as "
                                               "Module!Gauge", excerpt(std::string_view(name))), 404);
            name = std::string(ModuleName) + "!" + name;
        }
        const int window = windowOf();
        return AddGauge{window, std::move(name), placeOf(body),
                        body.contains("parameter") ? textField(body, "parameter") : std::string()};
    }
    if (op == "remove")
        return RemoveGauge{keyOf(body)};
    if (op == "renumber")
        return RenumberGauges{windowOf()};
    if (op == "window")
        return windowSettings(document, body);
    if (op == "add_window")
        return AddWindow{std::nullopt, int(integerField(body, "width", 1, MaxDrawnPixels)),
                         int(integerField(body, "height", 1, MaxDrawnPixels))};
    throw RequestError(fmt::format("\"op\" is \"{}\": it must be move, add, remove, renumber, window, add_window, "
                                   "undo or redo", excerpt(std::string_view(op))));
}

WindowSettings LayoutEditor::windowSettings(const PanelDocument& document, const Json& body) const
{
    WindowSettings settings{.window = int(integerField(body, "window", 0, MaxVirtualCockpitNumber))};
    document.window(settings.window);   // that it exists
    if (body.contains("width"))
        settings.size = {int(integerField(body, "width", 1, MaxDrawnPixels)), int(integerField(body, "height", 1, MaxDrawnPixels))};
    if (body.contains("position"))
        settings.position = int(integerField(body, "position", 0, 8));
    if (body.contains("visible"))
        settings.visible = flagField(body, "visible");
    if (body.contains("background_color"))
        settings.backgroundColour = colourOf(body);
    if (body.contains("bitmap")) {
        settings.bitmap = textField(body, "bitmap");
        const std::vector<std::string> offered = folderBitmaps();
        if (std::find(offered.begin(), offered.end(), *settings.bitmap) == offered.end())
            throw RequestError(fmt::format("\"{}\" is not a bitmap of the panel's folder",
                                           excerpt(std::string_view(*settings.bitmap))), 404);
    }
    if (body.contains("title"))
        settings.title = textField(body, "title");
    return settings;
}

LayoutEditor::Saving::Saving(PanelDocument document, bool canSave)
    : document_(std::move(document)), canSave_(canSave)
{
}

void LayoutEditor::Saving::save(bool force)
{
    if (!canSave_)
        throw RequestError("the built-in panel is not a file: Save as a new .cfg file (in the folder devhost serve "
                           "started in), or start devhost serve --panel FILE --edit",
                           409);
    try {
        document_.save(force);
    } catch (const PanelWriteError& refused) {
        throw refusal(refused);
    }
}

void LayoutEditor::Saving::saveAs(std::string_view name)
{
    namespace fs = std::filesystem;
    const bool plain = !name.empty() && name.size() <= 100 && name[0] != '.' &&
                       std::all_of(name.begin(), name.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ' ';
                       });
    if (!plain || name.size() < 5 || !sameName(name.substr(name.size() - 4), ".cfg"))
        throw RequestError(fmt::format("\"{}\": save as a plain file name ending in .cfg (letters, digits, space, "
                                       "_ - .), which goes beside the panel file",
                                       excerpt(name)));
    // The simulator reads the panel on Windows.
    if (const auto problem = windowsNameProblem(name.substr(0, name.size() - 4)))
        throw RequestError(fmt::format("\"{}\" {}: choose another name", excerpt(name), *problem));
    std::error_code error;
    const fs::path folder = canSave_ ? fs::absolute(document_.path(), error).parent_path() : fs::current_path(error);
    try {
        document_.saveAs((folder / fs::path(std::string(name))).string());
    } catch (const PanelWriteError& refused) {
        throw refusal(refused);
    }
    canSave_ = true;
}

LayoutEditor::Saving LayoutEditor::saving() const { return Saving(document_, canSave_); }

void LayoutEditor::saved(const Saving& saving)
{
    document_.tookOverFile(saving.document_);
    canSave_ = saving.canSave_;
    saved_ = saving.document_.text();
}

void LayoutEditor::save(bool force)
{
    Saving saving = this->saving();
    saving.save(force);
    saved(saving);
}

void LayoutEditor::saveAs(std::string_view name)
{
    Saving saving = this->saving();
    saving.saveAs(name);
    saved(saving);
}

std::vector<std::string> LayoutEditor::folderBitmaps() const
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    if (!canSave_)
        return names;
    std::error_code error;
    const fs::path folder = fs::absolute(document_.path(), error).parent_path();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file(error) && name.size() > 4 && sameName(std::string_view(name).substr(name.size() - 4), ".bmp"))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

Json LayoutEditor::describe(const Host& host) const
{
    const ModuleGauges module = host.moduleGauges();
    Json windows = Json::array();
    for (const PanelWindowSpec& w : panel().windows) {
        const Json gauges = gaugesOf(document_, w, module);
        windows.push_back({{"number", w.number},
                           {"title", w.title},
                           {"name", w.name},
                           {"virtual_cockpit", w.virtualCockpit},
                           {"scale", {w.gaugeScaleX, w.gaugeScaleY}},
                           {"width", w.sizeX},
                           {"height", w.sizeY},
                           {"x", w.posX},
                           {"y", w.posY},
                           {"position", w.grid ? Json(*w.grid) : Json(nullptr)},
                           {"visible", w.visible},
                           {"ident", w.ident},
                           {"background_color", w.backgroundColour ? Json(colourText(*w.backgroundColour)) : Json(nullptr)},
                           {"bitmap", w.background ? Json(std::filesystem::path(w.background->path).filename().string())
                                                   : Json(nullptr)},
                           {"line", w.line},
                           {"gauges", gauges}});
    }
    Json checks = Json::array();
    for (const PanelCheck& check : checkPanelLayout(panel(), module))
        checks.push_back({{"kind", checkKind(check.kind)},
                          {"window", check.window},
                          {"line", check.line},
                          {"message", check.message}});
    Json catalogue = Json::array();
    std::vector<GaugeInfo> listed = module.gauges();
    std::sort(listed.begin(), listed.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const GaugeInfo& info : listed)
        catalogue.push_back({{"name", info.name}, {"width", info.width}, {"height", info.height},
                             {"default_size", info.defaultSize}});
    return {{"file", document_.path()},
            {"can_save", canSave_},
            {"unsaved", document_.text() != saved_},
            {"undo", undo_.size()},
            {"redo", redo_.size()},
            {"windows", windows},
            {"checks", checks},
            {"bitmaps", folderBitmaps()},
            {"gauge_list", catalogue}};
}

}  // namespace devhost
