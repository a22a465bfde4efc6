// Editing a panel file line by line, and writing it back with care.
#include "devhost/core/panel_document.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "devhost/core/suggest.h"
#include "devhost/core/text_file.h"
#include "devhost/core/tooltip_format.h"

namespace devhost {

namespace {

using Kind = PanelLineParts::Kind;

template <class... Ways>
struct Overloaded : Ways... {
    using Ways::operator()...;
};
template <class... Ways>
Overloaded(Ways...) -> Overloaded<Ways...>;

std::string_view part(std::string_view text, size_t begin, size_t end) { return text.substr(begin, end - begin); }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A key's number ("gauge04" -> 4 for the prefix "gauge", case aside).
std::optional<int> keyNumber(std::string_view key, std::string_view prefix)
{
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 3 || !sameName(key.substr(0, prefix.size()), prefix))
        return std::nullopt;
    int n = 0;
    for (char c : key.substr(prefix.size())) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The comma-separated fields of a value as spans of the line, blanks around
// each one left out.
struct Field {
    size_t begin, end;
};
std::vector<Field> valueFields(std::string_view text, const PanelLineParts& parts)
{
    std::vector<Field> fields;
    size_t begin = parts.valueBegin;
    while (true) {
        const size_t comma = std::min(text.find(',', begin), parts.valueEnd);
        Field f{begin, comma};
        while (f.begin < f.end && isBlank(text[f.begin]))
            ++f.begin;
        while (f.end > f.begin && isBlank(text[f.end - 1]))
            --f.end;
        fields.push_back(f);
        if (comma == parts.valueEnd)
            return fields;
        begin = comma + 1;
    }
}

// What goes between two fields on this line: ", " or "," as its writer had it.
std::string fieldSeparator(std::string_view text, const std::vector<Field>& fields)
{
    if (fields.size() < 2)
        return ", ";
    const size_t comma = text.find(',', fields[0].end);
    return std::string(text.substr(comma, fields[1].begin - comma));
}

// The line with the fields given replaced (index -> text), fields beyond
// its last added after it; every other byte as it was.
std::string withFields(std::string_view text, const std::map<size_t, std::string>& replaced)
{
    const PanelLineParts parts = panelLineParts(text);
    const auto fields = valueFields(text, parts);
    const std::string separator = fieldSeparator(text, fields);
    std::string out(text.substr(0, parts.valueEnd));
    for (auto it = replaced.rbegin(); it != replaced.rend(); ++it)  // from the right: offsets stay good
        if (it->first < fields.size())
            out.replace(fields[it->first].begin, fields[it->first].end - fields[it->first].begin, it->second);
    for (size_t i = fields.size(); !replaced.empty() && i <= replaced.rbegin()->first; ++i)
        out += separator + (replaced.count(i) ? replaced.at(i) : "");
    return out + std::string(text.substr(parts.valueEnd));
}

std::string withValue(std::string_view text, std::string_view value)
{
    const PanelLineParts parts = panelLineParts(text);
    return std::string(text.substr(0, parts.valueBegin)) + std::string(value) + std::string(text.substr(parts.valueEnd));
}

std::string withKey(std::string_view text, std::string_view key)
{
    const PanelLineParts parts = panelLineParts(text);
    return std::string(text.substr(0, parts.nameBegin)) + std::string(key) + std::string(text.substr(parts.nameEnd));
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Text a line can carry as a value: no line end, nothing the reader takes
// for a comment, nothing a control character hides. `field` names it.
std::optional<std::string> unwritable(std::string_view field, std::string_view value)
{
    const std::string quoted = std::string(field) + " '" + excerpt(value) + "'";
    if (value.find("//") != std::string_view::npos || value.find(';') != std::string_view::npos)
        return quoted + " holds '//' or ';', which the panel file reads as the start of a comment";
    for (char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return quoted + " holds a line end or a control character, which a panel file line cannot carry";
    return std::nullopt;
}

// What the reader would read back differs from what was asked.
std::string readBack(std::string_view field, std::string_view asked, std::string_view read)
{
    return std::string(field) + " '" + excerpt(asked) + "' would be read back from the file as '" + excerpt(read) + "'";
}

// The most common line end of the file, for lines it gains; CR LF for a
// file of one line, as the simulator's files are written on Windows.
std::string usualEnding(const PanelLines& lines)
{
    std::map<std::string, int> counts;
    for (const PanelLine& line : lines.lines)
        if (!line.ending.empty())
            ++counts[line.ending];
    auto most = std::max_element(counts.begin(), counts.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? "\r\n" : most->first;
}

// Inserts lines after index `after` (-1: at the top), ending them as the
// line before them ends; a last line without an end gains one.
void insertLines(PanelLines& lines, long after, const std::vector<std::string>& texts)
{
    std::string ending = after >= 0 ? lines.lines[after].ending : usualEnding(lines);
    if (ending.empty()) {
        ending = usualEnding(lines);
        lines.lines[after].ending = ending;
        for (size_t i = 0; i < texts.size(); ++i)
            lines.lines.insert(lines.lines.begin() + after + 1 + long(i),
                               {texts[i], i + 1 == texts.size() ? std::string() : ending});
        return;
    }
    for (size_t i = 0; i < texts.size(); ++i)
        lines.lines.insert(lines.lines.begin() + after + 1 + long(i), {texts[i], ending});
}

// The index of the first line after the section whose header is at `header`.
size_t sectionEnd(const PanelLines& lines, size_t header)
{
    size_t i = header + 1;
    while (i < lines.lines.size() && panelLineParts(lines.lines[i].text).kind != Kind::Section)
        ++i;
    return i;
}

// UTF-8 text as the file's encoding has it: UTF-8 in a file with a byte-
// order mark or UTF-8 text in it already; else Windows-1252, the code page
// the simulator reads (nothing when a character has no place in it).
std::optional<std::string> inFileEncoding(const PanelLines& lines, std::string_view utf8)
{
    const std::string whole = joinPanelLines(lines);
    const bool hasNonAscii = std::any_of(whole.begin(), whole.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!lines.bom.empty() || (hasNonAscii && validUtf8(whole)))
        return std::string(utf8);
    std::map<std::string, char> codePage;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        codePage.emplace(windows1252ToUtf8(std::string(1, char(byte))), char(byte));
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        if (length == 1) {
            out += utf8[i++];
            continue;
        }
        auto it = codePage.find(std::string(utf8.substr(i, length)));
        if (it == codePage.end())
            return std::nullopt;
        out += it->second;
        i += length;
    }
    return out;
}

// Why a panel file was not written, as a message about `shownName`.
PanelWriteError panelWriteError(const FileWriteError& error, const std::string& shownName)
{
    switch (error.reason()) {
    case WriteFailure::Exists:
        return {shownName, error.reason(), "exists already; nothing written: choose another name"};
    case WriteFailure::ChangedOnDisk:
        return {shownName, error.reason(), "changed on disk since it was read (by another program?); nothing written: "
                                           "read it again, or write over it (--force)"};
    default:
        return {shownName, error.reason(), "cannot be written: " + error.problem() + "; nothing written"};
    }
}

// The file written whole, or PanelWriteError saying why; the file
// untouched either way.
void writePanelFile(const std::filesystem::path& target, std::string_view bytes, WriteMode mode,
                    const std::string& shownName)
{
    try {
        writeFileWhole(target, bytes, mode);
    } catch (const FileWriteError& error) {
        throw panelWriteError(error, shownName);
    }
}

}  // namespace

PanelDocument PanelDocument::load(const std::string& path, const PanelReadOptions& options)
{
    PanelDocument document(readTextFileOrThrow<PanelError>(path, "panel file"), path, options);
    return document;
}

PanelDocument::PanelDocument(std::string_view text, std::string path, const PanelReadOptions& options)
    : path_(std::move(path)), options_(options), onDisk_(text)
{
    panel_ = parsePanel(text, path_, options_);  // the encoding checked first
    lines_ = splitPanelLines(text);
}

std::string PanelDocument::text() const { return joinPanelLines(lines_); }

const PanelWindowSpec& PanelDocument::window(int number) const
{
    for (const PanelWindowSpec& w : panel_.windows)
        if (w.number == number)
            return w;
    throw PanelEditError(path_, 0, "no window " + std::to_string(number) + " (windows: " + windowList(panel_) + ")");
}

const PlacedGauge& PanelDocument::gauge(GaugeKey key) const
{
    for (const PlacedGauge& g : window(key.window).gauges)
        if (g.number == key.number)
            return g;
    throw PanelEditError(path_, 0, "no gauge" + twoDigits(key.number) + " in window " + std::to_string(key.window));
}

std::string PanelDocument::gaugeKeyText(GaugeKey key) const
{
    const std::string& text = lines_.lines[size_t(gauge(key).line - 1)].text;
    const PanelLineParts parts = panelLineParts(text);
    return std::string(part(text, parts.nameBegin, parts.nameEnd));
}

GaugeKey PanelDocument::findGauge(std::string_view name, std::optional<int> inWindow) const
{
    if (inWindow)
        window(*inWindow);  // that it exists
    std::vector<GaugeKey> found;
    for (const PanelWindowSpec& w : panel_.windows) {
        if (inWindow && w.number != *inWindow)
            continue;
        for (const PlacedGauge& g : w.gauges)
            if (sameName(name, g.gauge) || sameName(name, g.module + "!" + g.gauge) ||
                keyNumber(name, "gauge") == std::optional(g.number))
                found.push_back({w.number, g.number});
    }
    const std::string where = inWindow ? " in window " + std::to_string(*inWindow) : "";
    if (found.empty())
        throw PanelEditError(path_, 0, "no gauge '" + excerpt(name) + "'" + where);
    if (found.size() > 1) {
        std::string list;
        for (const GaugeKey& k : found)
            list += (list.empty() ? "" : ", ") + std::string("window ") + std::to_string(k.window) + " " +
                    gaugeKeyText(k) + " " + gauge(k).module + "!" + gauge(k).gauge + " (line " +
                    std::to_string(gauge(k).line) + ")";
        throw PanelEditError(path_, 0, "'" + excerpt(name) + "' names " + std::to_string(found.size()) + " gauges" +
                                           where + ": " + list + "; name one by its window and key");
    }
    return found.front();
}

Panel PanelDocument::reread(const PanelLines& edited, std::string_view what) const
{
    // The bytes as they would be saved, read back as the file would be: a
    // line that came to hold a line end would be read as other lines.
    const std::string text = joinPanelLines(edited);
    const PanelLines again = splitPanelLines(text);
    for (size_t i = 0; i < edited.lines.size(); ++i)
        if (i >= again.lines.size() || again.lines[i].text != edited.lines[i].text)
            throw PanelEditError(path_, 0, std::string(what) + " refused: line " + std::to_string(i + 1) + " '" +
                                               excerpt(edited.lines[i].text) +
                                               "' would hold a line end; the file is untouched");
    try {
        return parsePanel(text, path_, options_);
    } catch (const PanelError& error) {
        const std::string line =
            error.line() > 0 ? " line " + std::to_string(error.line()) + " '" +
                                   excerpt(edited.lines[size_t(error.line() - 1)].text) + "':"
                             : "";
        throw PanelEditError(path_, 0, std::string(what) + " refused: it would make" + line + " " + error.problem() +
                                           "; the file is untouched");
    }
}

void PanelDocument::replaceLines(PanelLines edited, std::string_view what)
{
    panel_ = reread(edited, what);
    lines_ = std::move(edited);
}

namespace {
std::map<size_t, std::string> placeFields(const GaugePlace& place)
{
    std::map<size_t, std::string> fields{{1, std::to_string(place.x)}, {2, std::to_string(place.y)}};
    if (place.width)
        fields[3] = std::to_string(*place.width);
    if (place.height)
        fields[4] = std::to_string(*place.height);
    return fields;
}
}  // namespace

void PanelDocument::moveGauge(GaugeKey key, const GaugePlace& place)
{
    PanelLines edited = lines_;
    std::string& text = edited.lines[size_t(gauge(key).line - 1)].text;
    text = withFields(text, placeFields(place));
    replaceLines(std::move(edited), "moving " + gaugeKeyText(key));
}

GaugeKey PanelDocument::addGauge(int windowNumber, std::string_view moduleAndGauge, const GaugePlace& place,
                                 std::string_view parameter)
{
    const PanelWindowSpec& w = window(windowNumber);
    const std::string what = "adding " + excerpt(moduleAndGauge) + " to window " + std::to_string(windowNumber);
    auto problem = unwritable("the gauge name", moduleAndGauge);
    if (!problem && moduleAndGauge.find(',') != std::string_view::npos)
        problem = "the gauge name cannot hold ','";
    if (!problem)
        problem = unwritable("the parameter", parameter);
    if (problem)
        throw PanelEditError(path_, 0, what + " refused: " + *problem);
    PanelLines edited = lines_;
    // The new line is written as the window's last gauge line is: its key's
    // spelling, its blanks around '=' and after commas.
    const PlacedGauge* last = nullptr;
    for (const PlacedGauge& g : w.gauges)
        if (!last || g.number > last->number)
            last = &g;
    const int number = last ? last->number + 1 : 0;
    if (number > 999)
        throw PanelEditError(path_, 0, what + " refused: the window's last gauge is gauge" + std::to_string(number - 1) +
                                           ", and gauge numbers go to 999; renumber the window first");
    std::string line = "gauge" + twoDigits(number) + "=M!G, 0, 0";
    long after = long(w.line) - 1;
    if (last) {
        const std::string& model = edited.lines[size_t(last->line - 1)].text;
        const PanelLineParts parts = panelLineParts(model);
        const std::string_view modelKey = part(model, parts.nameBegin, parts.nameEnd);
        const size_t digits = std::max<size_t>(2, modelKey.size() - 5);
        std::string numberText = std::to_string(number);
        numberText.insert(0, digits > numberText.size() ? digits - numberText.size() : 0, '0');
        const auto fields = valueFields(model, parts);
        line = std::string(model.substr(0, parts.nameBegin)) +
               std::string(modelKey.substr(0, 5)) + numberText +
               std::string(part(model, parts.nameEnd, parts.valueBegin)) + "M!G" + fieldSeparator(model, fields) +
               "0" + fieldSeparator(model, fields) + "0";
        after = long(std::max_element(w.gauges.begin(), w.gauges.end(), [](const auto& a, const auto& b) {
                         return a.line < b.line;
                     })->line) - 1;
    } else {
        // After the window's last key line, before comments about what follows.
        for (size_t i = size_t(w.line); i < sectionEnd(edited, size_t(w.line - 1)); ++i)
            if (panelLineParts(edited.lines[i].text).kind != Kind::Blank)
                after = long(i);
    }
    std::map<size_t, std::string> fields = placeFields(place);
    fields[0] = std::string(moduleAndGauge);
    if (!parameter.empty())
        fields[5] = std::string(parameter);
    insertLines(edited, after, {withFields(line, fields)});
    Panel read = reread(edited, what);
    // The line as the reader takes it must be the gauge asked for.
    const PlacedGauge* added = nullptr;
    for (const PanelWindowSpec& other : read.windows)
        for (const PlacedGauge& g : other.gauges)
            if (other.number == windowNumber && g.number == number)
                added = &g;
    const std::string name = added ? added->module + "!" + added->gauge : std::string();
    if (name != trimmedPanelText(moduleAndGauge))
        throw PanelEditError(path_, 0, what + " refused: " + readBack("the gauge name", moduleAndGauge, name));
    if (added->parameter != trimmedPanelText(parameter))
        throw PanelEditError(path_, 0, what + " refused: " + readBack("the parameter", parameter, added->parameter));
    panel_ = std::move(read);
    lines_ = std::move(edited);
    return {windowNumber, number};
}

GaugeKey PanelDocument::moveGaugeToWindow(GaugeKey key, int windowNumber, const GaugePlace& place)
{
    if (key.window == windowNumber)
        return moveGauge(key, place), key;
    const PlacedGauge moved = gauge(key);
    GaugePlace there = place;
    if (!there.width && !there.height)
        there.width = moved.width, there.height = moved.height;
    // Both edits or neither.
    const PanelLines lines = lines_;
    const Panel panel = panel_;
    try {
        const GaugeKey added = addGauge(windowNumber, moved.module + "!" + moved.gauge, there, moved.parameter);
        removeGauge(key);
        return added;
    } catch (...) {
        lines_ = lines;
        panel_ = panel;
        throw;
    }
}

void PanelDocument::removeGauge(GaugeKey key)
{
    PanelLines edited = lines_;
    const std::string what = "removing " + gaugeKeyText(key);
    const size_t index = size_t(gauge(key).line - 1);
    // The line before keeps its end, unless the removed line was the last
    // and had none: then that one is the last, without an end, as the file was.
    if (index + 1 == edited.lines.size() && index > 0 && edited.lines[index].ending.empty())
        edited.lines[index - 1].ending.clear();
    edited.lines.erase(edited.lines.begin() + long(index));
    replaceLines(std::move(edited), what);
}

void PanelDocument::renumberGauges(int windowNumber)
{
    PanelLines edited = lines_;
    int next = 0;
    for (const PlacedGauge& g : window(windowNumber).gauges) {  // in number order
        std::string& text = edited.lines[size_t(g.line - 1)].text;
        const PanelLineParts parts = panelLineParts(text);
        text = withKey(text, std::string(part(text, parts.nameBegin, parts.nameBegin + 5)) + twoDigits(next++));
    }
    replaceLines(std::move(edited), "renumbering window " + std::to_string(windowNumber));
}

void PanelDocument::setWindowValue(int windowNumber, std::string_view key, const std::string& value)
{
    const PanelWindowSpec& w = window(windowNumber);
    const std::string what = "setting " + std::string(key) + "=" + excerpt(value) + " in window " + std::to_string(windowNumber);
    if (auto problem = unwritable(std::string(key) + "=", value))
        throw PanelEditError(path_, 0, what + " refused: " + *problem);
    PanelLines edited = lines_;
    // The line the reader takes (the last of that key), else a new one
    // after the window's other settings, before its gauges.
    std::optional<size_t> existing;
    long after = long(w.line) - 1;
    for (size_t i = size_t(w.line); i < sectionEnd(edited, size_t(w.line - 1)); ++i) {
        const std::string& text = edited.lines[i].text;
        const PanelLineParts parts = panelLineParts(text);
        if (parts.kind != Kind::KeyValue)
            continue;
        const std::string_view name = part(text, parts.nameBegin, parts.nameEnd);
        if (sameName(name, key))
            existing = i;
        if (!keyNumber(name, "gauge"))
            after = long(i);
    }
    if (existing)
        edited.lines[*existing].text = withValue(edited.lines[*existing].text, value);
    else
        insertLines(edited, after, {std::string(key) + "=" + value});
    const std::string& written = edited.lines[existing ? *existing : size_t(after + 1)].text;
    const PanelLineParts parts = panelLineParts(written);
    if (part(written, parts.valueBegin, parts.valueEnd) != trimmedPanelText(value))
        throw PanelEditError(path_, 0, what + " refused: " + readBack(std::string(key) + "=", value,
                                                                       part(written, parts.valueBegin, parts.valueEnd)));
    replaceLines(std::move(edited), what);
}

void PanelDocument::setWindowSize(int window, int width, std::optional<int> height)
{
    setWindowValue(window, "size_mm", std::to_string(width) + (height ? "," + std::to_string(*height) : ""));
}

void PanelDocument::setWindowPosition(int windowNumber, int grid)
{
    // window_pos= wins over position=; the position asked for must count.
    for (size_t i = size_t(window(windowNumber).line); i < sectionEnd(lines_, size_t(window(windowNumber).line - 1)); ++i) {
        const PanelLineParts parts = panelLineParts(lines_.lines[i].text);
        if (parts.kind == Kind::KeyValue &&
            sameName(part(lines_.lines[i].text, parts.nameBegin, parts.nameEnd), "window_pos"))
            throw PanelEditError(path_, int(i + 1), "setting position in window " + std::to_string(windowNumber) +
                                                        " refused: its window_pos= line places it, and wins over "
                                                        "position=; change or remove that line");
    }
    setWindowValue(windowNumber, "position", std::to_string(grid));
}

void PanelDocument::setWindowVisible(int window, bool visible) { setWindowValue(window, "visible", visible ? "1" : "0"); }

void PanelDocument::setWindowBackgroundColour(int window, PanelColour c)
{
    setWindowValue(window, "background_color", std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b));
}

void PanelDocument::setWindowBitmap(int windowNumber, std::string_view fileName)
{
    // The file= or file_NNNN= line that the host draws at this screen width.
    const PanelWindowSpec& w = window(windowNumber);
    if (w.background) {
        const std::string& text = lines_.lines[size_t(w.background->line - 1)].text;
        const PanelLineParts parts = panelLineParts(text);
        setWindowValue(windowNumber, part(text, parts.nameBegin, parts.nameEnd), std::string(fileName));
        return;
    }
    setWindowValue(windowNumber, "file", std::string(fileName));
}

void PanelDocument::setWindowTitle(int windowNumber, std::string_view title)
{
    const PanelWindowSpec& w = window(windowNumber);
    const std::string what = "setting the title of window " + std::to_string(windowNumber);
    if (w.virtualCockpit)
        throw PanelEditError(path_, 0, what + " refused: a virtual cockpit is named by its texture=");
    if (auto problem = unwritable("the title", title))
        throw PanelEditError(path_, 0, what + " refused: " + *problem);
    const auto encoded = inFileEncoding(lines_, title);
    if (!encoded)
        throw PanelEditError(path_, 0, what + " refused: '" + excerpt(title) +
                                           "' has characters the file's code page (Windows-1252) cannot hold");
    PanelLines edited = lines_;
    std::optional<size_t> header, existing;
    for (size_t i = 0; i < edited.lines.size(); ++i) {
        const std::string& text = edited.lines[i].text;
        const PanelLineParts parts = panelLineParts(text);
        if (parts.kind == Kind::Section)
            header = sameName(part(text, parts.nameBegin, parts.nameEnd), "Window Titles") ? std::optional(i) : header;
        if (header && i < sectionEnd(edited, *header) && parts.kind == Kind::KeyValue &&
            keyNumber(part(text, parts.nameBegin, parts.nameEnd), "window") == std::optional(windowNumber))
            existing = i;
    }
    const std::string line = "Window" + twoDigits(windowNumber) + "=" + *encoded;
    if (existing) {
        edited.lines[*existing].text = withValue(edited.lines[*existing].text, *encoded);
    } else if (header) {
        long after = long(*header);
        for (size_t i = *header + 1; i < sectionEnd(edited, *header); ++i)
            if (panelLineParts(edited.lines[i].text).kind == Kind::KeyValue)
                after = long(i);
        insertLines(edited, after, {line});
    } else {
        // A new [Window Titles] section before the first section.
        long before = 0;
        while (size_t(before) < edited.lines.size() && panelLineParts(edited.lines[size_t(before)].text).kind != Kind::Section)
            ++before;
        insertLines(edited, before - 1, {"[Window Titles]", line, ""});
    }
    Panel read = reread(edited, what);
    const auto titled = std::find_if(read.windows.begin(), read.windows.end(),
                                     [&](const PanelWindowSpec& other) { return other.number == windowNumber; });
    if (titled == read.windows.end() || titled->title != trimmedPanelText(title))
        throw PanelEditError(path_, 0, what + " refused: " +
                                           readBack("the title", title, titled == read.windows.end() ? "" : titled->title));
    panel_ = std::move(read);
    lines_ = std::move(edited);
}

void PanelDocument::addWindow(int number, int width, int height)
{
    const std::string what = "adding window " + std::to_string(number);
    if (number < 0 || number > MaxWindowNumber)
        throw PanelEditError(path_, 0, what + " refused: window numbers go from 0 to " + std::to_string(MaxWindowNumber));
    if (std::any_of(panel_.windows.begin(), panel_.windows.end(), [&](const auto& w) { return w.number == number; }))
        throw PanelEditError(path_, 0, what + " refused: there is one already");
    PanelLines edited = lines_;
    std::vector<std::string> texts = {"[Window" + twoDigits(number) + "]",
                                      "size_mm=" + std::to_string(width) + "," + std::to_string(height)};
    if (!edited.lines.empty() && panelLineParts(edited.lines.back().text).kind != Kind::Blank)
        texts.insert(texts.begin(), "");
    insertLines(edited, long(edited.lines.size()) - 1, texts);
    replaceLines(std::move(edited), what);
}

EditedLine PanelDocument::apply(const PanelEdit& edit)
{
    // All of it or nothing: a window's settings are several edits.
    const PanelLines lines = lines_;
    const Panel panel = panel_;
    const auto lineOf = [&](int line) { return EditedLine{line, lines_.lines[size_t(line - 1)].text}; };
    const auto make = Overloaded{
        [&](const MoveGauge& e) {
            const GaugeKey key = e.toWindow ? moveGaugeToWindow(e.key, *e.toWindow, e.place) : (moveGauge(e.key, e.place), e.key);
            return lineOf(gauge(key).line);
        },
        [&](const AddGauge& e) { return lineOf(gauge(addGauge(e.window, e.name, e.place, e.parameter)).line); },
        [&](const RemoveGauge& e) {
            const EditedLine removed = lineOf(gauge(e.key).line);
            removeGauge(e.key);
            return removed;
        },
        [&](const RenumberGauges& e) {
            renumberGauges(e.window);
            return lineOf(window(e.window).line);
        },
        [&](const WindowSettings& e) {
            window(e.window);   // that it exists, whatever is set
            if (e.size)
                setWindowSize(e.window, e.size->first, e.size->second);
            if (e.position)
                setWindowPosition(e.window, *e.position);
            if (e.visible)
                setWindowVisible(e.window, *e.visible);
            if (e.backgroundColour)
                setWindowBackgroundColour(e.window, *e.backgroundColour);
            if (e.bitmap)
                setWindowBitmap(e.window, *e.bitmap);
            if (e.title)
                setWindowTitle(e.window, *e.title);
            return lineOf(window(e.window).line);
        },
        [&](const AddWindow& e) {
            int number = 0;
            for (const PanelWindowSpec& w : panel_.windows)
                if (!w.virtualCockpit)
                    number = std::max(number, w.number + 1);
            addWindow(e.number.value_or(number), e.width, e.height);
            return lineOf(window(e.number.value_or(number)).line);
        },
    };
    try {
        return std::visit(make, edit);
    } catch (...) {
        lines_ = lines;
        panel_ = panel;
        throw;
    }
}

void PanelDocument::restore(std::string_view text) { replaceLines(splitPanelLines(text), "going back"); }

void PanelDocument::save(bool force, const std::function<void()>& beforeCheck)
{
    namespace fs = std::filesystem;
    const std::string bytes = text();
    if (bytes == onDisk_)
        return;
    const TextFile current = readWholeFile(path_, "panel file");
    if (current.problem)
        throw PanelWriteError(path_, WriteFailure::NotAFile, *current.problem + "; nothing written");
    // A panel file that is a link (from the simulator's folder, say) stays
    // one: the file it leads to is written, never the link followed by
    // the writer, which refuses links.
    std::error_code error;
    const fs::path target = fs::is_symlink(path_, error) ? fs::canonical(path_, error) : fs::path(path_);
    // Refused before the copy is made, as the writer would refuse the file.
    if (readOnly(fs::status(target, error)))
        throw PanelWriteError(path_, WriteFailure::ReadOnly, "is read-only; nothing written");
    if (!backedUp_) {
        // What the write replaces: the file as read, unless written over whatever it holds.
        writePanelFile(target.string() + ".bak", force ? current.text : onDisk_, WriteMode::Replace, path_ + ".bak");
        backedUp_ = true;
    }
    try {
        if (force)
            writeFileWhole(target, bytes, WriteMode::Replace);
        else
            writeFileWhole(target, bytes, Unchanged{onDisk_, beforeCheck});
    } catch (const FileWriteError& refused) {
        throw panelWriteError(refused, path_);
    }
    onDisk_ = bytes;
}

void PanelDocument::saveAs(const std::string& path)
{
    const std::string bytes = text();
    writePanelFile(path, bytes, WriteMode::CreateNew, path);
    path_ = path;
    onDisk_ = bytes;
    backedUp_ = true;
}

void PanelDocument::tookOverFile(const PanelDocument& saved)
{
    path_ = saved.path_;
    onDisk_ = saved.onDisk_;
    backedUp_ = saved.backedUp_;
}

}  // namespace devhost
