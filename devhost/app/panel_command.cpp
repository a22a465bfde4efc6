#include "devhost/core/module_gauges.h"
#include "devhost/app/panel_command.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <map>
#include <vector>

#include "devhost/app/gauge_state.h"
#include "devhost/core/host.h"
#include "devhost/core/panel_checks.h"
#include "devhost/core/panel_document.h"
#include "devhost/core/suggest.h"

namespace devhost {

namespace {

// "10,20" or "10,20,30,40" (whole numbers): nothing when it is neither.
std::optional<std::vector<int>> numberList(std::string_view text)
{
    std::vector<int> numbers;
    while (true) {
        const size_t comma = std::min(text.find(','), text.size());
        const std::string_view field = text.substr(0, comma);
        int n = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), n);
        if (field.empty() || error != std::errc() || end != field.data() + field.size())
            return std::nullopt;
        numbers.push_back(n);
        if (comma == text.size())
            return numbers;
        text.remove_prefix(comma + 1);
    }
}

std::vector<int> numbersOrThrow(std::string_view text, std::string_view option, std::initializer_list<size_t> counts,
                                std::string_view shape)
{
    const auto numbers = numberList(text);
    if (!numbers || std::find(counts.begin(), counts.end(), numbers->size()) == counts.end())
        throw CLI::ValidationError(std::string(option), "expected " + std::string(shape) + ", found '" +
                                                            excerpt(text) + "'");
    return *numbers;
}

GaugePlace placeFrom(const std::string& to)
{
    const auto n = numbersOrThrow(to, "--to", {2, 4}, "X,Y or X,Y,W,H (whole numbers)");
    GaugePlace place{n[0], n[1]};
    if (n.size() == 4)
        place.width = n[2], place.height = n[3];
    return place;
}

// The window a text names (number, title, VC01) in the document.
int windowNumber(const PanelDocument& document, const std::string& text)
{
    const PanelWindowSpec* window = findWindow(document.panel(), text);
    if (!window)
        throw PanelEditError(document.path(), 0, "no window '" + excerpt(text) + "' (windows: " + windowList(document.panel()) + ")");
    return window->number;
}

std::string sizeText(const std::optional<int>& side) { return side ? std::to_string(*side) : "-"; }

// The gauges of the module the host loads: their own sizes, and whether a
// line's Module!Gauge names one. None (with a note) when the module
// cannot be loaded: the file can be edited all the same.
ModuleGauges moduleGauges(const std::string& module)
{
    try {
        return Host(module).moduleGauges();
    } catch (const std::exception& error) {
        std::cerr << "devhost: note: " << error.what() << "; the gauges' names and sizes are not checked\n";
        return {};
    }
}

// A gauge of the module that it does not have: a typo that the panel
// would show as a hole.
void checkGaugeName(const ModuleGauges& module, const std::string& file, std::string_view name)
{
    const size_t bang = name.find('!');
    if (module.gauges().empty() || bang == std::string_view::npos || !module.namesOurs(name.substr(0, bang)) ||
        module.find(name.substr(bang + 1)))
        return;
    std::vector<std::string_view> names;
    for (const GaugeInfo& g : module.gauges())
        names.push_back(g.name);
    throw PanelEditError(file, 0, "the module has no gauge '" + excerpt(name.substr(bang + 1)) + "'" +
                                      didYouMean(name.substr(bang + 1), names) + "; `devhost list` names them");
}

int show(const PanelDocument& document, const std::string& module)
{
    const Panel& panel = document.panel();
    std::cout << fmt::format("{:<7} {:<10} {:<36} {:>6} {:>6} {:>5} {:>5}\n", "window", "key", "gauge", "x", "y", "w", "h");
    for (const PanelWindowSpec& w : panel.windows)
        for (const PlacedGauge& g : w.gauges)
            std::cout << fmt::format("{:<7} {:<10} {:<36} {:>6} {:>6} {:>5} {:>5}\n",
                                     w.name.empty() ? std::to_string(w.number) : w.name,
                                     document.gaugeKeyText({w.number, g.number}), excerpt(g.module + "!" + g.gauge), g.x, g.y,
                                     sizeText(g.width), sizeText(g.height));
    for (const PanelWindowSpec& w : panel.windows)
        std::cout << fmt::format("window {}{}: {}x{} at {},{}{}\n", w.name.empty() ? std::to_string(w.number) : w.name,
                                 w.title.empty() || w.title == w.name ? "" : " \"" + excerpt(w.title) + "\"", w.sizeX, w.sizeY,
                                 w.posX, w.posY, w.visible ? "" : ", hidden");
    // The reader's warnings, then the layout's, each once: the reader warns
    // of windows sharing an ident too.
    std::vector<PanelWarning> warnings = panel.warnings;
    for (const PanelCheck& check : checkPanelLayout(panel, moduleGauges(module)))
        if (std::none_of(warnings.begin(), warnings.end(),
                         [&](const PanelWarning& w) { return w.line == check.line && w.message == check.message; }))
            warnings.push_back({check.line, check.message});
    std::stable_sort(warnings.begin(), warnings.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    for (const PanelWarning& warning : warnings)
        std::cout << fmt::format("warning: {}:{}: {}\n", panel.source, warning.line, warning.message);
    const size_t count = warnings.size();
    std::cout << (count ? fmt::format("{} warning{}\n", count, count == 1 ? "" : "s") : "no warnings\n");
    return 0;
}

}  // namespace

PanelCommands::PanelCommands(CLI::App& app, const std::string& defaultModule) : module_(defaultModule)
{
    panel_ = app.add_subcommand(
        "panel", "a panel file's layout, and edits to it that rewrite only the lines they change\n"
                 "  devhost panel show panel.cfg\n"
                 "  devhost panel move panel.cfg Airspeed --to 300,290,150,165\n"
                 "  devhost panel move panel.cfg gauge02 --window 0 --into \"Radio Stack\" --to 10,10\n"
                 "  devhost panel add panel.cfg " + std::string(ModuleName) + "!Junghans_Timer --to 20,20 --window 1\n"
                 "  devhost panel remove panel.cfg gauge04 --window 0\n"
                 "  devhost panel window panel.cfg 1 --size-mm 300,200 --title \"Radio Stack\"\n"
                 "A copy of the file as it was is kept as FILE.bak before it is written.");
    panel_->require_subcommand(1);
    show_ = panel_->add_subcommand("show", "the layout as a table, with overlaps, gauges out of their window, "
                                           "gauges drawn blurred far from their own size and windows sharing an ident");
    move_ = panel_->add_subcommand("move", "move (and size) a gauge");
    add_ = panel_->add_subcommand("add", "place a gauge, on the next gaugeNN of its window");
    remove_ = panel_->add_subcommand("remove", "take a gauge's line out; the others keep their numbers");
    window_ = panel_->add_subcommand("window", "a window's settings, or a new window");
    for (CLI::App* command : {show_, move_, add_, remove_, window_}) {
        command->add_option("FILE", file_, "panel file")->required();
        if (command == window_)
            command->add_option("WINDOW", window_text_, "window: number, or title")->required();
        if (command == move_ || command == remove_)
            command->add_option("GAUGE", gauge_, "gauge name, Module!Gauge, or its line's key (gauge04)")->required();
        if (command == add_)
            command->add_option("GAUGE", gauge_, "Module!Gauge")->required();
        if (command == move_ || command == add_)
            command->add_option("--to", to_, "X,Y or X,Y,W,H in panel pixels (no W,H: the size kept, or the gauge's own)")
                ->required();
        if (command == move_ || command == remove_ || command == add_) {
            auto* option = command->add_option("--window", window_text_, "the gauge's window: number or title");
            if (command == add_)
                option->required();
        }
        if (command != show_)
            command->add_flag("--force", force_, "write even over a file changed since it was read");
    }
    addPanelReadingOptions(*show_, screenWidth_);
    for (CLI::App* command : {show_, add_})
        command->add_option("--module", module_, "module whose gauges' names and sizes are checked (default: the built one)");
    move_->add_option("--into", into_, "another window to bring it to (number or title), with its size and parameter");
    remove_->add_flag("--renumber", renumber_, "renumber the window's gauges 0, 1, ... in their order");
    window_->add_option("--size-mm", sizeMm_, "W or W,H");
    window_->add_option("--position", position_, "0 to 8, a 3x3 grid over the screen")->check(CLI::Range(0, 8));
    window_->add_option("--visible", visible_, "0 or 1")->check(CLI::Range(0, 1));
    window_->add_option("--background", background_, "background_color R,G,B");
    window_->add_option("--file", bitmap_, "background bitmap beside the panel file");
    window_->add_option("--title", title_, "title in [Window Titles]");
    window_->add_flag("--new", newWindow_, "add the window (with --size-mm W,H)");
}

std::vector<PanelEdit> PanelCommands::edits(const PanelDocument& document) const
{
    const std::optional<int> window =
        window_text_.empty() || newWindow_ ? std::nullopt : std::optional(windowNumber(document, window_text_));
    if (move_->parsed()) {
        MoveGauge move{document.findGauge(gauge_, window), placeFrom(to_)};
        if (!into_.empty())
            move.toWindow = windowNumber(document, into_);
        return {move};
    }
    if (add_->parsed()) {
        checkGaugeName(moduleGauges(module_), file_, gauge_);
        return {AddGauge{*window, gauge_, placeFrom(to_)}};
    }
    if (remove_->parsed()) {
        const GaugeKey key = document.findGauge(gauge_, window);
        if (renumber_)
            return {RemoveGauge{key}, RenumberGauges{key.window}};
        return {RemoveGauge{key}};
    }
    std::vector<PanelEdit> edits;
    WindowSettings settings{.window = window.value_or(0)};
    if (newWindow_) {
        const auto n = numberList(window_text_);
        const auto size = numbersOrThrow(sizeMm_, "--size-mm", {2}, "W,H for a new window");
        if (!n || n->size() != 1)
            throw CLI::ValidationError("WINDOW", "a new window needs a number, found '" + excerpt(window_text_) + "'");
        settings.window = n->front();
        edits.push_back(AddWindow{settings.window, size[0], size[1]});
    } else if (!sizeMm_.empty()) {
        const auto size = numbersOrThrow(sizeMm_, "--size-mm", {1, 2}, "W or W,H");
        settings.size = {size[0], size.size() == 2 ? std::optional(size[1]) : std::nullopt};
    }
    settings.position = position_;
    if (visible_)
        settings.visible = *visible_ == 1;
    if (!background_.empty()) {
        const auto c = numbersOrThrow(background_, "--background", {3}, "R,G,B");
        settings.backgroundColour = PanelColour{c[0], c[1], c[2]};
    }
    if (!bitmap_.empty())
        settings.bitmap = bitmap_;
    if (!title_.empty())
        settings.title = title_;
    edits.push_back(settings);
    return edits;
}

int PanelCommands::run() const
{
    PanelDocument document = PanelDocument::load(file_, {.screenWidth = screenWidth_});
    if (show_->parsed())
        return show(document, module_);
    const std::vector<PanelEdit> asked = edits(document);
    // What was done, told once the file is written: the gauge's line (a
    // removed one's as it was), or the window's after all its settings.
    EditedLine told;
    for (const PanelEdit& edit : asked) {
        const EditedLine line = document.apply(edit);
        if (&edit == &asked.front() || !remove_->parsed())
            told = line;
    }
    document.save(force_);
    const std::string_view what = move_->parsed()     ? "moved:"
                                  : add_->parsed()    ? "added:"
                                  : remove_->parsed() ? "removed:"
                                                      : "window:";
    std::cout << fmt::format("{}:{}: {} {}\n", file_, told.line, what, excerpt(told.text, 200));
    return 0;
}

}  // namespace devhost
