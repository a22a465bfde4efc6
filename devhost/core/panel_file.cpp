// Panel files in the simulator's own syntax, and the built-in default panel.
#include "devhost/core/panel_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <span>
#include <system_error>

#include "devhost/core/bmp_file.h"
#include "devhost/core/suggest.h"
#include "devhost/core/text_file.h"
#include "devhost/core/tooltip_format.h"

namespace devhost {

namespace {

constexpr int MaxCoordinate = 100000;  // beyond any screen: a typo, not a layout
constexpr int MaxChannel = 255;

struct PanelName {
    std::string_view name;
    int ident;
};

constexpr PanelName panelNames[] = {
    {"MAIN_PANEL", 0},        {"THROTTLE_PANEL", 10},      {"RADIO_STACK_PANEL", 50},
    {"COMPASS_PANEL", 75},    {"MINI_CONTROLS_PANEL", 100}, {"ANNUNCIATOR_PANEL", 125},
    {"ANNUNCIATOR2_PANEL", 150}, {"IFR_MAIN_PANEL", 175},  {"COLLECTIVE_PANEL", 200},
    {"GPS_PANEL", 225},       {"OVERHEAD_PANEL", 250},
};

// Window keys the simulator honours that draw nothing here: taken without
// a word.
constexpr std::string_view silentWindowKeys[] = {
    "window_size", "window_size_ratio", "nomenu", "render_3d_window", "child_3d", "type", "no_luminous",
    "alpha_blend", "sizeable", "always_visible", "dimmer", "texture",
};
// Sections the simulator reads for other things than windows.
constexpr std::string_view silentSections[] = {"views", "default view", "fltsim", "vcockpit default"};

bool listed(std::span<const std::string_view> names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The file in the folder whose name is `name` whatever the case, as
// Windows finds it; the exact name first.
std::optional<std::filesystem::path> fileInFolder(const std::filesystem::path& folder, std::string_view name)
{
    std::error_code error;
    const std::filesystem::path exact = folder / std::filesystem::path(std::string(name));
    if (std::filesystem::is_regular_file(exact, error))
        return exact;
    // A name with folders in it is looked up folder by folder no further:
    // designers keep the art beside the panel file.
    if (std::string(name).find_first_of("/\\") != std::string::npos)
        return std::nullopt;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error))
        if (sameName(it->path().filename().string(), name) && it->is_regular_file(error))
            return it->path();
    return std::nullopt;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return out;
}

std::string_view trimmed(std::string_view s)
{
    constexpr std::string_view blanks = " \t\r\n\f\v";
    size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::optional<long long> wholeNumber(std::string_view s)
{
    s = trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    long long value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// Digits with an optional sign: a whole number, though perhaps too large
// for any range, as opposed to something that is not a number at all.
bool looksWhole(std::string_view s)
{
    s = trimmed(s);
    if (!s.empty() && (s.front() == '+' || s.front() == '-'))
        s.remove_prefix(1);
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<double> decimalNumber(std::string_view s)
{
    s = trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// "window07" -> 7 for the given prefix and at most that many digits;
// nothing for anything else.
std::optional<int> numberedKey(std::string_view key, std::string_view prefix, size_t mostDigits = 3)
{
    if (key.size() <= prefix.size() || key.size() > prefix.size() + mostDigits || key.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    auto digits = key.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<int>(*wholeNumber(digits));
}

// The part of s up to the next comma, and s moved past that comma.
std::string_view nextField(std::string_view& s)
{
    size_t comma = s.find(',');
    std::string_view field = s.substr(0, comma);
    s = comma == std::string_view::npos ? std::string_view{} : s.substr(comma + 1);
    return trimmed(field);
}

struct WindowDraft {
    PanelWindowSpec spec;
    int line = 0;
    int sizeLine = 0;                                    // of size_mm
    bool widthOnly = false;                              // size_mm=W
    std::optional<std::pair<int, int>> pixelSize;        // a virtual cockpit's texture
    std::map<int, std::pair<std::string, int>> files;    // file_NNNN= by NNNN (file= is 0): name, line
    std::optional<int> grid;
    std::optional<std::pair<double, double>> screenFraction;
    std::map<int, PlacedGauge> gauges;
    std::map<std::string, int> keysSeen;
};

class PanelParser {
public:
    PanelParser(std::string_view fileName, const PanelReadOptions& options) : file_(fileName), options_(options) {}

    Panel parse(const PanelLines& lines)
    {
        for (const PanelLine& line : lines.lines) {
            ++line_;
            parseLine(line.text);
        }
        return finish();
    }

private:
    enum class Section { None, Titles, Window, Colours, Other };

    [[noreturn]] void fail(const std::string& problem) const { throw PanelError(std::string(file_), line_, problem); }
    void warn(std::string message) { panel_.warnings.push_back({line_, std::move(message)}); }

    // A whole number within [min, max]; what is wrong with it otherwise.
    int boundedNumber(std::string_view what, std::string_view field, long long min, long long max,
                      std::string_view shape = {})
    {
        auto n = wholeNumber(field);
        if (!n && !looksWhole(field))
            fail(std::string(what) + " '" + excerpt(field) + "' is not a whole number" + std::string(shape));
        if (!n || *n < min || *n > max)
            fail(std::string(what) + " '" + excerpt(trimmed(field)) + "' is out of range: expected " +
                 std::to_string(min) + " to " + std::to_string(max));
        return static_cast<int>(*n);
    }

    void parseLine(std::string_view line)
    {
        const PanelLineParts parts = panelLineParts(line);
        const auto part = [&](size_t begin, size_t end) { return line.substr(begin, end - begin); };
        switch (parts.kind) {
        case PanelLineParts::Kind::Blank: return;
        case PanelLineParts::Kind::Section: openSection(part(parts.codeBegin, parts.codeEnd)); return;
        case PanelLineParts::Kind::Other:
            fail("expected key=value, a [section] or a comment, found '" + excerpt(part(parts.codeBegin, parts.codeEnd)) + "'");
        case PanelLineParts::Kind::KeyValue: break;
        }
        std::string key = lowered(part(parts.nameBegin, parts.nameEnd));
        std::string_view value = part(parts.valueBegin, parts.valueEnd);
        if (key.empty())
            fail("a key is missing before '='");
        switch (section_) {
        case Section::Titles: titleLine(key, value); break;
        case Section::Window: windowLine(key, value); break;
        case Section::Colours: colourLine(key, value); break;
        case Section::Other:
            break;  // already warned about at the section, or taken silently
        case Section::None:
            if (numberedKey(key, "gauge"))
                fail("gauge line outside a window section");
            warn("'" + excerpt(key) + "' before any section ignored");
            break;
        }
    }

    void openSection(std::string_view line)
    {
        if (line.back() != ']')
            fail("section header without ']'");
        std::string_view name = trimmed(line.substr(1, line.size() - 2));
        if (name.empty())
            fail("empty section name '[]'");
        std::string key = lowered(name);
        if (key == "window titles") {
            section_ = Section::Titles;
            return;
        }
        if (key == "color") {
            section_ = Section::Colours;
            return;
        }
        const auto vc = numberedKey(key, "vcockpit", 2);
        if (auto number = vc ? std::optional(VirtualCockpitNumbers + *vc) : numberedKey(key, "window")) {
            auto [it, added] = windows_.try_emplace(*number);
            if (!added)
                fail("duplicate window [" + excerpt(name) + "] (first at line " + std::to_string(it->second.line) + ")");
            it->second.spec.number = *number;
            it->second.spec.line = line_;
            it->second.line = line_;
            if (vc) {
                it->second.spec.virtualCockpit = true;
                it->second.spec.name = "VC" + std::string(*vc < 10 ? "0" : "") + std::to_string(*vc);
                it->second.spec.visible = false;  // seen in the cockpit, opened here on demand
            }
            window_ = &it->second;
            section_ = Section::Window;
            return;
        }
        section_ = Section::Other;
        if (listed(silentSections, key))
            return;
        if (numberedKey(key, "window", 9))
            warn("section [" + excerpt(name) + "]: window numbers go from 0 to " + std::to_string(MaxWindowNumber) +
                 "; its lines are passed over");
        else if (numberedKey(key, "vcockpit", 9))
            warn("section [" + excerpt(name) + "]: virtual cockpit numbers go from 0 to 99; its lines are passed over");
        else
            warn("section [" + excerpt(name) + "] is not used by the development host");
    }

    void titleLine(const std::string& key, std::string_view value)
    {
        if (numberedKey(key, "gauge"))
            fail("gauge line outside a window section");
        auto number = numberedKey(key, "window");
        if (!number) {
            warn("'" + excerpt(key) + "' in [Window Titles] ignored (expected WindowNN=Title)");
            return;
        }
        auto [it, added] = titles_.try_emplace(
            *number, validUtf8(value) ? std::string(value) : windows1252ToUtf8(value), line_);
        if (!added)
            fail("duplicate title for Window" + std::to_string(*number) + " (first at line " +
                 std::to_string(it->second.second) + ")");
    }

    void colourLine(const std::string& key, std::string_view value)
    {
        PanelColours& colours = panel_.colours;
        PanelColour* colour = key == "day"        ? &colours.day
                              : key == "night"    ? &colours.night
                              : key == "luminous" ? &colours.luminous
                                                  : nullptr;
        if (!colour) {
            warn("'" + excerpt(key) + "' in [Color] ignored (expected Day, Night or Luminous)");
            return;
        }
        *colour = colourValue(key, value);
    }

    PanelColour colourValue(const std::string& key, std::string_view value)
    {
        std::string_view rest = value;
        std::optional<long long> channels[3];
        for (auto& channel : channels)
            channel = rest.data() ? wholeNumber(nextField(rest)) : std::nullopt;
        const bool valid = std::all_of(std::begin(channels), std::end(channels),
                                       [](const auto& c) { return c && *c >= 0 && *c <= MaxChannel; });
        if (!valid || rest.data())
            fail(key + " needs three whole numbers 0 to 255 (red, green, blue), e.g. 255,200,150; found '" +
                 excerpt(value) + "'");
        return {int(*channels[0]), int(*channels[1]), int(*channels[2])};
    }

    // "W,H" of whole numbers 1 to MaxDrawnPixels; W alone when widthAlone.
    std::pair<int, std::optional<int>> sizeValue(const std::string& key, std::string_view value, bool widthAlone)
    {
        std::string_view rest = value;
        std::string_view w = nextField(rest), h = nextField(rest);
        if (w.empty() || (h.empty() && (!widthAlone || rest.data() != nullptr)) || !trimmed(rest).empty())
            fail(key + (widthAlone ? " needs a width, or a width and a height (positive whole numbers), found '"
                                   : " needs two positive whole numbers, found '") +
                 excerpt(value) + "'");
        const int width = boundedNumber(key + " width", w, 1, MaxDrawnPixels);
        if (h.empty())
            return {width, std::nullopt};
        return {width, boundedNumber(key + " height", h, 1, MaxDrawnPixels)};
    }

    void windowLine(const std::string& key, std::string_view value)
    {
        if (auto number = numberedKey(key, "gauge")) {
            gaugeLine(*number, value);
            return;
        }
        auto [seen, first] = window_->keysSeen.try_emplace(key, line_);
        if (!first)
            warn("'" + excerpt(key) + "' given again (first at line " + std::to_string(seen->second) + "); the later value counts");
        PanelWindowSpec& spec = window_->spec;
        if (key == "size_mm") {
            auto [width, height] = sizeValue(key, value, !spec.virtualCockpit);
            spec.sizeX = width;
            spec.sizeY = height.value_or(0);
            window_->widthOnly = !height;
            window_->sizeLine = line_;
        } else if (key == "pixel_size" && spec.virtualCockpit) {
            auto [width, height] = sizeValue(key, value, false);
            window_->pixelSize = std::pair{width, *height};
        } else if (auto width = key == "file" ? std::optional(0) : numberedKey(key, "file_", 5);
                   width && !spec.virtualCockpit) {
            if (value.empty())
                fail(key + " names no bitmap");
            window_->files[*width] = {std::string(value), line_};
        } else if (key == "background_color") {
            spec.backgroundColour = colourValue(key, value);
        } else if (key == "zorder") {
            spec.zorder = boundedNumber("zorder", value, -MaxCoordinate, MaxCoordinate);
        } else if (key == "texture" && spec.virtualCockpit) {
            spec.title = spec.name + " " + std::string(value);
        } else if (key == "position") {
            auto grid = wholeNumber(value);
            if (!grid || *grid < 0 || *grid > 8)
                fail("position must be 0 to 8 (a 3x3 grid from the top left), found '" + excerpt(value) + "'");
            window_->grid = static_cast<int>(*grid);
        } else if (key == "window_pos") {
            std::string_view rest = value;
            auto x = decimalNumber(nextField(rest));
            auto y = decimalNumber(nextField(rest));
            if (!x || !y || !trimmed(rest).empty() || !(*x >= 0 && *x <= 1) || !(*y >= 0 && *y <= 1))
                fail("window_pos needs two fractions of the screen from 0 to 1, found '" + excerpt(value) + "'");
            window_->screenFraction = std::pair{*x, *y};
        } else if (key == "visible") {
            auto flag = wholeNumber(value);
            if (!flag || (*flag != 0 && *flag != 1))
                fail("visible must be 0 or 1, found '" + excerpt(value) + "'");
            spec.visible = *flag == 1;
        } else if (key == "ident") {
            auto number = wholeNumber(value);
            auto named = panelWindowIdent(value);
            if (number && *number >= 0 && *number <= MaxCoordinate)
                spec.ident = static_cast<int>(*number);
            else if (named)
                spec.ident = *named;
            else
                fail("ident must be a window number or a name like MAIN_PANEL, found '" + excerpt(value) + "'");
        } else if (!listed(silentWindowKeys, key)) {
            warn("'" + excerpt(key) + "' ignored");
        }
    }

    void gaugeLine(int number, std::string_view value)
    {
        if (auto it = window_->gauges.find(number); it != window_->gauges.end())
            fail("duplicate gauge" + std::to_string(number) + " (first at line " + std::to_string(it->second.line) + ")");
        PlacedGauge g;
        g.line = line_;
        g.number = number;
        std::string_view rest = value;
        std::string_view name = nextField(rest);
        if (name.empty())
            fail("gauge line without a gauge (expected Module!Gauge, x, y)");
        size_t bang = name.find('!');
        if (bang == std::string_view::npos)
            fail("'" + excerpt(name) + "' has no '!' between the module and the gauge name");
        g.module = std::string(trimmed(name.substr(0, bang)));
        g.gauge = std::string(trimmed(name.substr(bang + 1)));
        if (g.module.empty() || g.gauge.empty())
            fail("'" + excerpt(name) + "' needs a module name before '!' and a gauge name after it");

        auto coordinate = [&](std::string_view what) {
            if (rest.data() == nullptr)
                fail("gauge line needs x and y after '" + excerpt(name) + "'");
            return boundedNumber(what, nextField(rest), -MaxCoordinate, MaxCoordinate);
        };
        g.x = coordinate("x");
        g.y = coordinate("y");

        auto size = [&](std::string_view what) -> std::optional<int> {
            if (rest.data() == nullptr)
                return std::nullopt;
            std::string_view field = nextField(rest);
            if (field.empty())
                return std::nullopt;
            return boundedNumber(what, field, 1, MaxDrawnPixels,
                                 " (a parameter text comes after the width and the height)");
        };
        g.width = size("width");
        g.height = size("height");
        if (rest.data() != nullptr)
            g.parameter = std::string(trimmed(rest));
        window_->gauges.emplace(number, std::move(g));
    }

    Panel finish()
    {
        line_ = 0;
        for (auto& [number, title] : titles_) {
            if (!windows_.count(number)) {
                line_ = title.second;
                warn("title for Window" + std::to_string(number) + " but no [Window" + std::to_string(number) +
                     "] section");
            }
        }
        long long pixels = 0;
        for (auto& [number, draft] : windows_) {
            PanelWindowSpec& spec = draft.spec;
            if (auto t = titles_.find(number); t != titles_.end())
                spec.title = t->second.first;
            if (spec.virtualCockpit && spec.title.empty())
                spec.title = spec.name;
            line_ = draft.line;
            sizeWindow(draft);
            pixels += (long long)spec.sizeX * spec.sizeY;
            if (spec.background)
                pixels += (long long)spec.background->width * spec.background->height;
            if (pixels > MaxPanelPixels)
                fail("the windows up to this one (with their art) ask for " + std::to_string(pixels) +
                     " pixels to be drawn, more than the " + std::to_string(MaxPanelPixels) +
                     " a panel may (the renderer keeps several pictures of each)");
            spec.grid = draft.grid;
            if (draft.screenFraction) {
                spec.posX = static_cast<int>(draft.screenFraction->first * PanelScreenWidth);
                spec.posY = static_cast<int>(draft.screenFraction->second * PanelScreenHeight);
            } else if (draft.grid) {
                spec.posX = *draft.grid % 3 * std::max(0, PanelScreenWidth - spec.sizeX) / 2;
                spec.posY = *draft.grid / 3 * std::max(0, PanelScreenHeight - spec.sizeY) / 2;
            }
            for (auto& [n, gauge] : draft.gauges)
                spec.gauges.push_back(std::move(gauge));
            panel_.windows.push_back(std::move(spec));
        }
        for (const SharedIdent& shared : sharedIdents(panel_.windows)) {
            line_ = shared.line;
            warn(shared.message());
        }
        std::stable_sort(panel_.windows.begin(), panel_.windows.end(),
                         [](const PanelWindowSpec& a, const PanelWindowSpec& b) { return a.zorder < b.zorder; });
        std::stable_sort(panel_.warnings.begin(), panel_.warnings.end(),
                         [](const PanelWarning& a, const PanelWarning& b) { return a.line < b.line; });
        panel_.source = std::string(file_);
        return std::move(panel_);
    }

    // The window's drawn size from size_mm, its background bitmap and, for a
    // virtual cockpit, its texture.
    void sizeWindow(WindowDraft& draft)
    {
        PanelWindowSpec& spec = draft.spec;
        if (!draft.files.empty())
            spec.background = background(draft.files);
        if (spec.background && spec.sizeX == 0) {
            spec.sizeX = spec.background->width;
            spec.sizeY = spec.background->height;
        } else if (draft.widthOnly) {
            line_ = draft.sizeLine;
            if (!spec.background)
                fail("size_mm=" + std::to_string(spec.sizeX) +
                     " gives only the width: the height follows the window's background bitmap (file=), and "
                     "this window has none; give size_mm=width,height");
            const double height = std::round(double(spec.sizeX) * spec.background->height / spec.background->width);
            if (height > MaxDrawnPixels)
                fail("size_mm=" + std::to_string(spec.sizeX) + " with the proportions of " + spec.background->path +
                     " makes the window " + std::to_string(static_cast<long long>(height)) +
                     " pixels high, more than the " + std::to_string(MaxDrawnPixels) + " the renderer draws");
            spec.sizeY = std::max(1, static_cast<int>(height));
        }
        line_ = draft.line;
        if (spec.virtualCockpit && draft.pixelSize) {
            const auto [w, h] = *draft.pixelSize;
            if (spec.sizeX > 0) {
                spec.gaugeScaleX = double(w) / spec.sizeX;
                spec.gaugeScaleY = double(h) / spec.sizeY;
            }
            spec.sizeX = w;
            spec.sizeY = h;
        }
        if (spec.sizeX == 0)
            warn("window [" + (spec.virtualCockpit ? "Vcockpit" + spec.name.substr(2) : "Window" + std::to_string(spec.number)) +
                 "] has no size_mm");
    }

    // The bitmap the host shows at the screen width: the file_NNNN= with the
    // largest NNNN not above it, else file=, else the narrowest NNNN.
    PanelBackground background(const std::map<int, std::pair<std::string, int>>& files)
    {
        auto chosen = files.upper_bound(options_.screenWidth);
        if (chosen != files.begin())
            --chosen;
        const auto& [name, line] = chosen->second;
        line_ = line;
        const std::filesystem::path folder = std::filesystem::path(std::string(file_)).parent_path();
        const auto found = fileInFolder(folder, name);
        const std::string where = folder.empty() ? "the current folder" : folder.string();
        if (!found)
            fail("background bitmap '" + excerpt(name) + "' not found beside the panel file (in " + where + ")");
        // The art is read whole: a file larger than the pixels a panel may
        // ask for (at four bytes each) is refused before it is.
        std::error_code error;
        const auto size = std::filesystem::file_size(*found, error);
        if (!error && size > static_cast<uintmax_t>(4 * MaxPanelPixels))
            fail("background bitmap " + found->string() + " is " + std::to_string(size) +
                 " bytes, more than the art of a panel may be (" + std::to_string(4 * MaxPanelPixels) + ")");
        TextFile file = readWholeFile(found->string(), "bitmap", uintmax_t(4 * MaxPanelPixels));
        if (file.problem)
            fail("background bitmap " + found->string() + " " + *file.problem);
        auto bytes = std::make_shared<const std::string>(std::move(file.text));
        const auto layout = bmpLayout(panelBackgroundBytes(*bytes));
        if (!layout)
            fail("background bitmap " + found->string() + " " + bmpProblem(panelBackgroundBytes(*bytes)));
        return PanelBackground{.path = found->string(), .line = line, .width = layout->width,
                               .height = layout->height, .bytes = std::move(bytes)};
    }

    std::string_view file_;
    PanelReadOptions options_;
    int line_ = 0;
    Section section_ = Section::None;
    WindowDraft* window_ = nullptr;
    std::map<int, WindowDraft> windows_;
    std::map<int, std::pair<std::string, int>> titles_;  // number -> title, line
    Panel panel_;
};

}  // namespace

std::optional<int> panelWindowIdent(std::string_view name)
{
    std::string upper(trimmed(name));
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    for (const auto& p : panelNames)
        if (p.name == upper)
            return p.ident;
    return std::nullopt;
}

const PanelWindowSpec* findWindow(const Panel& panel, std::string_view text)
{
    text = trimmed(text);
    const auto number = wholeNumber(text);
    for (const PanelWindowSpec& w : panel.windows) {
        const bool named = !w.name.empty() && (sameName(text, w.name) || sameName(text, "Vcockpit" + w.name.substr(2)));
        if ((number && *number == w.number) || named || (!w.title.empty() && sameName(text, w.title)))
            return &w;
    }
    return nullptr;
}

std::string windowList(const Panel& panel)
{
    std::string list;
    for (const PanelWindowSpec& w : panel.windows) {
        list += list.empty() ? "" : ", ";
        list += w.name.empty() ? std::to_string(w.number) : w.name;
        if (!w.title.empty() && w.title != w.name)
            list += " \"" + excerpt(w.title) + "\"";
    }
    return list.empty() ? "none" : list;
}

PanelLines splitPanelLines(std::string_view text)
{
    PanelLines lines;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        lines.bom = text.substr(0, 3);
        text.remove_prefix(3);
    }
    // Lines end in LF, CR LF or a lone CR (old Macintosh editors): a file
    // with CR alone must not read as one long line.
    while (!text.empty()) {
        const size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const size_t endLength = end == text.size() ? 0 : text.substr(end, 2) == "\r\n" ? 2 : 1;
        lines.lines.push_back({std::string(text.substr(0, end)), std::string(text.substr(end, endLength))});
        text.remove_prefix(end + endLength);
    }
    return lines;
}

std::string joinPanelLines(const PanelLines& lines)
{
    std::string text = lines.bom;
    for (const PanelLine& line : lines.lines)
        text += line.text + line.ending;
    return text;
}

PanelLineParts panelLineParts(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n\f\v";
    // The span [begin, end) of text without the blanks at either side.
    const auto trim = [&](size_t& begin, size_t& end) {
        while (begin < end && blanks.find(text[begin]) != std::string_view::npos)
            ++begin;
        while (end > begin && blanks.find(text[end - 1]) != std::string_view::npos)
            --end;
    };
    PanelLineParts parts;
    parts.codeEnd = std::min({text.find("//"), text.find(';'), text.size()});
    trim(parts.codeBegin, parts.codeEnd);
    if (parts.codeBegin == parts.codeEnd)
        return parts;
    if (text[parts.codeBegin] == '[') {
        parts.kind = PanelLineParts::Kind::Section;
        parts.nameBegin = parts.codeBegin + 1;
        parts.nameEnd = text[parts.codeEnd - 1] == ']' ? parts.codeEnd - 1 : parts.codeEnd;
        trim(parts.nameBegin, parts.nameEnd);
        return parts;
    }
    const size_t equals = text.substr(0, parts.codeEnd).find('=', parts.codeBegin);
    if (equals == std::string_view::npos) {
        parts.kind = PanelLineParts::Kind::Other;
        return parts;
    }
    parts.kind = PanelLineParts::Kind::KeyValue;
    parts.nameBegin = parts.codeBegin;
    parts.nameEnd = equals;
    trim(parts.nameBegin, parts.nameEnd);
    parts.valueBegin = equals + 1;
    parts.valueEnd = parts.codeEnd;
    trim(parts.valueBegin, parts.valueEnd);
    return parts;
}

std::string_view trimmedPanelText(std::string_view text) { return trimmed(text); }

Panel parsePanelLines(const PanelLines& lines, std::string_view fileName, const PanelReadOptions& options)
{
    return PanelParser(fileName, options).parse(lines);
}

Panel parsePanel(std::string_view text, std::string_view fileName, const PanelReadOptions& options)
{
    if (auto problem = textEncodingProblem(text))
        throw PanelError(std::string(fileName), 0, *problem);
    return parsePanelLines(splitPanelLines(text), fileName, options);
}

Panel loadPanel(const std::string& path, const PanelReadOptions& options)
{
    const std::string content = readTextFileOrThrow<PanelError>(path, "panel file");
    Panel panel = parsePanel(content, path, options);
    // A panel that places nothing is almost always a file misread or
    // mistyped; an empty file says that no panel is meant.
    const bool placesAGauge = std::any_of(panel.windows.begin(), panel.windows.end(),
                                          [](const PanelWindowSpec& w) { return !w.gauges.empty(); });
    if (!placesAGauge && !trimmed(content).empty())
        throw PanelError(path, 0, "places no gauge in any window, so there is nothing to draw (expected "
                                  "gaugeNN=Module!Gauge, x, y lines in a [WindowNN] section; an empty file stands "
                                  "for an empty panel); devhost serve --panel " + path + " --edit opens it to place some");
    return panel;
}

std::string SharedIdent::message() const
{
    return "ident " + std::to_string(ident) + " is also the ident of the window at line " + std::to_string(firstLine);
}

std::vector<SharedIdent> sharedIdents(const std::vector<PanelWindowSpec>& windows)
{
    std::vector<const PanelWindowSpec*> inFileOrder;
    for (const PanelWindowSpec& w : windows)
        inFileOrder.push_back(&w);
    std::sort(inFileOrder.begin(), inFileOrder.end(), [](auto a, auto b) { return a->line < b->line; });
    std::map<int, int> firstLine;
    std::vector<SharedIdent> shared;
    for (const PanelWindowSpec* w : inFileOrder) {
        if (w->ident < 0)
            continue;
        auto [first, unique] = firstLine.try_emplace(w->ident, w->line);
        if (!unique)
            shared.push_back({w->number, w->line, w->ident, first->second});
    }
    return shared;
}

std::string_view defaultPanelText()
{
    static constexpr std::string_view text =
#include "default_panel_text.inc"
        ;
    return text;
}

Panel defaultPanel()
{
    return parsePanel(defaultPanelText(), "<built-in>");
}

}  // namespace devhost
