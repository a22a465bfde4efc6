// Panel files in the simulator's own syntax, and the built-in default panel.
#include "devhost/core/panel_file.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

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

// "window07" -> 7 for the given prefix; nothing for anything else.
std::optional<int> numberedKey(std::string_view key, std::string_view prefix)
{
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 3 || key.substr(0, prefix.size()) != prefix)
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
    std::optional<int> grid;
    std::optional<std::pair<double, double>> screenFraction;
    std::map<int, PlacedGauge> gauges;
    std::map<std::string, int> keysSeen;
};

class PanelParser {
public:
    explicit PanelParser(std::string_view fileName) : file_(fileName) {}

    Panel parse(std::string_view text)
    {
        if (text.substr(0, 3) == "\xEF\xBB\xBF")
            text.remove_prefix(3);
        // Lines end in LF, CR LF or a lone CR (old Macintosh editors): a file
        // with CR alone must not read as one long line.
        int number = 0;
        while (!text.empty()) {
            size_t end = text.find_first_of("\r\n");
            std::string_view line = text.substr(0, end);
            if (end == std::string_view::npos)
                text = {};
            else
                text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
            line_ = ++number;
            parseLine(line);
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
        line = line.substr(0, line.find("//"));
        line = trimmed(line);
        if (line.empty() || line.front() == ';')
            return;
        if (line.front() == '[') {
            openSection(line);
            return;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            fail("expected key=value, a [section] or a comment, found '" + excerpt(line) + "'");
        std::string key = lowered(trimmed(line.substr(0, equals)));
        std::string_view value = trimmed(line.substr(equals + 1));
        if (key.empty())
            fail("a key is missing before '='");
        switch (section_) {
        case Section::Titles: titleLine(key, value); break;
        case Section::Window: windowLine(key, value); break;
        case Section::Colours: colourLine(key, value); break;
        case Section::Other:
            break;  // already warned about at the section
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
        if (auto number = numberedKey(key, "window")) {
            auto [it, added] = windows_.try_emplace(*number);
            if (!added)
                fail("duplicate window [" + excerpt(name) + "] (first at line " + std::to_string(it->second.line) + ")");
            it->second.spec.number = *number;
            it->second.line = line_;
            window_ = &it->second;
            section_ = Section::Window;
            return;
        }
        section_ = Section::Other;
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
        auto [it, added] = titles_.try_emplace(*number, std::string(value), line_);
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
            warn("'" + key + "' in [Color] ignored (expected Day, Night or Luminous)");
            return;
        }
        std::string_view rest = value;
        std::optional<long long> channels[3];
        for (auto& channel : channels)
            channel = rest.data() ? wholeNumber(nextField(rest)) : std::nullopt;
        const bool valid = std::all_of(std::begin(channels), std::end(channels),
                                       [](const auto& c) { return c && *c >= 0 && *c <= MaxChannel; });
        if (!valid || rest.data())
            fail(key + " needs three whole numbers 0 to 255 (red, green, blue), e.g. 255,200,150; found '" +
                 std::string(value) + "'");
        *colour = {int(*channels[0]), int(*channels[1]), int(*channels[2])};
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
            std::string_view rest = value;
            std::string_view w = nextField(rest), h = nextField(rest);
            if (w.empty() || h.empty() || !trimmed(rest).empty())
                fail("size_mm needs two positive whole numbers, found '" + excerpt(value) + "'");
            spec.sizeX = boundedNumber("size_mm width", w, 1, MaxDrawnPixels);
            spec.sizeY = boundedNumber("size_mm height", h, 1, MaxDrawnPixels);
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
        } else {
            warn("'" + excerpt(key) + "' ignored");
        }
    }

    void gaugeLine(int number, std::string_view value)
    {
        if (auto it = window_->gauges.find(number); it != window_->gauges.end())
            fail("duplicate gauge" + std::to_string(number) + " (first at line " + std::to_string(it->second.line) + ")");
        PlacedGauge g;
        g.line = line_;
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
        std::map<int, int> identLines;
        for (auto& [number, draft] : windows_) {
            PanelWindowSpec& spec = draft.spec;
            if (auto t = titles_.find(number); t != titles_.end())
                spec.title = t->second.first;
            line_ = draft.line;
            if (spec.sizeX == 0)
                warn("window [Window" + std::to_string(number) + "] has no size_mm");
            if (draft.screenFraction) {
                spec.posX = static_cast<int>(draft.screenFraction->first * PanelScreenWidth);
                spec.posY = static_cast<int>(draft.screenFraction->second * PanelScreenHeight);
            } else if (draft.grid) {
                spec.posX = *draft.grid % 3 * std::max(0, PanelScreenWidth - spec.sizeX) / 2;
                spec.posY = *draft.grid / 3 * std::max(0, PanelScreenHeight - spec.sizeY) / 2;
            }
            if (spec.ident >= 0) {
                auto [other, unique] = identLines.try_emplace(spec.ident, draft.line);
                if (!unique)
                    warn("ident " + std::to_string(spec.ident) + " is also the ident of the window at line " +
                         std::to_string(other->second));
            }
            for (auto& [n, gauge] : draft.gauges)
                spec.gauges.push_back(std::move(gauge));
            panel_.windows.push_back(std::move(spec));
        }
        std::stable_sort(panel_.warnings.begin(), panel_.warnings.end(),
                         [](const PanelWarning& a, const PanelWarning& b) { return a.line < b.line; });
        panel_.source = std::string(file_);
        return std::move(panel_);
    }

    std::string_view file_;
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

Panel parsePanel(std::string_view text, std::string_view fileName)
{
    return PanelParser(fileName).parse(text);
}

Panel loadPanel(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw PanelError(path, 0, "is a folder, not a panel file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw PanelError(path, 0, "cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw PanelError(path, 0, "cannot be read");
    const std::string content = text.str();
    Panel panel = parsePanel(content, path);
    // A panel that places nothing is almost always a file misread or
    // mistyped; an empty file says that no panel is meant.
    const bool placesAGauge = std::any_of(panel.windows.begin(), panel.windows.end(),
                                          [](const PanelWindowSpec& w) { return !w.gauges.empty(); });
    if (!placesAGauge && !trimmed(content).empty())
        throw PanelError(path, 0, "places no gauge in any window (expected gaugeNN=Module!Gauge, x, y lines "
                                  "in a [WindowNN] section; an empty file stands for an empty panel)");
    return panel;
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
