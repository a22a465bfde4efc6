#include "devhost/flight/flight.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "devhost/core/suggest.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/core/values.h"
#include "devhost/core/variables.h"

namespace devhost {

// Script order matters for tracks and error lines: keep the objects in it.
using json = nlohmann::ordered_json;

namespace {

int lineAt(std::string_view text, size_t offset)
{
    offset = std::min(offset, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

// nlohmann's values carry no positions, so errors find their line in the
// text: the line of a quoted key after a given offset, and the lines on
// which the objects of an array begin.
size_t keyOffset(std::string_view text, std::string_view key, size_t from = 0)
{
    std::string quoted = "\"" + std::string(key) + "\"";
    size_t at = text.find(quoted, from);
    return at == std::string_view::npos ? from : at;
}

std::vector<int> objectLinesOfArray(std::string_view text, size_t from)
{
    std::vector<int> lines;
    size_t open = text.find('[', from);
    if (open == std::string_view::npos)
        return lines;
    int depth = 0;
    bool inString = false;
    for (size_t i = open; i < text.size(); ++i) {
        char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (depth == 1 && c == '{')
                lines.push_back(lineAt(text, i));
            ++depth;
        } else if (c == ']' || c == '}') {
            if (--depth == 0)
                break;
        }
    }
    return lines;
}

class FlightReader {
public:
    FlightReader(std::string_view text, std::string_view file) : text_(text), file_(file) {}

    Flight read()
    {
        json root;
        try {
            root = json::parse(text_, nullptr, true, true);
        } catch (const json::parse_error& error) {
            std::string what = error.what();
            if (size_t colon = what.rfind(": "); colon != std::string::npos)
                what = what.substr(colon + 2);
            fail(lineAt(text_, error.byte > 0 ? error.byte - 1 : 0), "not valid JSON: " + what);
        }
        if (!root.is_object())
            fail(1, "a flight script is a JSON object");

        Flight flight;
        flight.source = std::string(file_);
        for (auto& [key, value] : root.items()) {
            int line = lineAt(text_, keyOffset(text_, key));
            if (key == "name")
                flight.name = requireString(value, line, "\"name\"");
            else if (key == "duration")
                flight.duration = requireTime(value, line, "\"duration\"");
            else if (key == "variables")
                readVariables(value, line, flight);
            else if (key == "actions")
                readActions(value, line, flight);
            else if (key == "checkpoints")
                readCheckpoints(value, line, flight);
            else
                fail(line, "unknown entry \"" + key + "\" (expected name, duration, variables, actions, checkpoints)");
        }
        flight.durationGiven = root.contains("duration");
        if (!flight.durationGiven) {
            double last = 0;
            for (const VariableTrack& track : flight.tracks)
                last = std::max(last, track.keys.back().time);
            for (const FlightAction& action : flight.actions)
                last = std::max(last, action.time);
            for (const Checkpoint& checkpoint : flight.checkpoints)
                last = std::max(last, checkpoint.time);
            flight.duration = last + 1;
        }
        return flight;
    }

private:
    [[noreturn]] void fail(int line, const std::string& problem) const
    {
        throw FlightError(std::string(file_), line, problem);
    }

    std::string requireString(const json& value, int line, const std::string& what) const
    {
        if (!value.is_string())
            fail(line, what + " must be text");
        return value.get<std::string>();
    }

    double requireNumber(const json& value, int line, const std::string& what) const
    {
        if (!value.is_number())
            fail(line, what + " must be a number");
        double number = value.get<double>();
        if (!std::isfinite(number))
            fail(line, what + " must be finite");
        return number;
    }

    double requireTime(const json& value, int line, const std::string& what) const
    {
        double time = requireNumber(value, line, what);
        if (time < 0)
            fail(line, what + " must not be negative");
        return time;
    }

    int requireInt(const json& value, int line, const std::string& what) const
    {
        if (!value.is_number_integer())
            fail(line, what + " must be a whole number");
        auto number = value.get<int64_t>();
        if (number < INT32_MIN || number > INT32_MAX)
            fail(line, what + " is out of range");
        return static_cast<int>(number);
    }

    double integerValue(const json& value, int line, const std::string& what) const
    {
        if (value.is_string()) {
            const std::string text = value.get<std::string>();
            try {
                size_t used = 0;
                unsigned long long number = std::stoull(text, &used, 0);
                if (used == text.size() && number <= UINT32_MAX)
                    return static_cast<double>(number);
            } catch (const std::exception&) {
            }
            fail(line, what + ": \"" + text + "\" is not an unsigned 32-bit number");
        }
        double number = requireNumber(value, line, what);
        if (number < 0 || number > UINT32_MAX || number != std::floor(number))
            fail(line, what + " must be an unsigned 32-bit whole number");
        return number;
    }

    // A keyframe value as the command line's --set takes it: a JSON number
    // is read as if written out, a text may carry a unit or a natural form
    // ("250kmh", "122.80", "7700").
    std::vector<VariableValue> keyframeValues(const SettingTarget& target, const json& value, int line) const
    {
        std::string text;
        if (value.is_string()) {
            text = value.get<std::string>();
        } else if (value.is_number()) {
            char buffer[32];
            auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value.get<double>());
            text.assign(buffer, error == std::errc() ? end : buffer);
        } else {
            fail(line, "value of \"" + target.name + "\" must be a number or a text such as \"250kmh\"");
        }
        try {
            return hostValues(target, text);
        } catch (const ValueError& error) {
            fail(line, "value of \"" + target.name + "\": " + error.what());
        }
    }

    void readVariables(const json& variables, int line, Flight& flight) const
    {
        if (!variables.is_object())
            fail(line, "\"variables\" must be an object of keyframe lists");
        const size_t section = keyOffset(text_, "variables");
        for (auto& [name, keys] : variables.items()) {
            int at = lineAt(text_, keyOffset(text_, name, section));
            SettingTarget target;
            try {
                target = settingTarget(name);
            } catch (const ValueError& error) {
                fail(at, error.what());
            }
            if (!keys.is_array() || keys.empty())
                fail(at, "variable \"" + name + "\" needs a list of [time, value] keyframes");
            // One track per host variable the values set (an ADF frequency sets two).
            std::vector<VariableTrack> tracks;
            for (const json& key : keys) {
                if (!key.is_array() || key.size() != 2)
                    fail(at, "variable \"" + name + "\": each keyframe is [time, value]");
                const double time = requireTime(key[0], at, "keyframe time of \"" + name + "\"");
                if (!tracks.empty() && time <= tracks.front().keys.back().time)
                    fail(at, "variable \"" + name + "\": keyframe times must rise");
                const std::vector<VariableValue> values = keyframeValues(target, key[1], at);
                for (const VariableValue& value : values) {
                    auto track = std::find_if(tracks.begin(), tracks.end(),
                                              [&](const VariableTrack& t) { return t.id == value.id; });
                    if (track == tracks.end()) {
                        const VariableInfo* info = findVariable(value.id);
                        track = tracks.insert(tracks.end(),
                                              VariableTrack{.id = value.id,
                                                            .name = name,
                                                            .integer = info && info->delivery == Delivery::Integer,
                                                            .line = at});
                    }
                    track->keys.push_back({.time = time, .value = value.value});
                }
            }
            for (VariableTrack& track : tracks)
                flight.tracks.push_back(std::move(track));
        }
    }

    void readActions(const json& actions, int line, Flight& flight) const
    {
        if (!actions.is_array())
            fail(line, "\"actions\" must be a list");
        std::vector<int> lines = objectLinesOfArray(text_, keyOffset(text_, "actions"));
        for (size_t i = 0; i < actions.size(); ++i) {
            const json& entry = actions[i];
            int at = i < lines.size() ? lines[i] : line;
            if (!entry.is_object())
                fail(at, "each action is an object");
            FlightAction action{.line = at};
            if (!entry.contains("at"))
                fail(at, "action without \"at\" (its time in seconds)");
            action.time = requireTime(entry["at"], at, "\"at\"");
            int kinds = 0;
            for (auto& [key, value] : entry.items()) {
                if (key == "at") {
                } else if (key == "click" || key == "hover" || key == "remove") {
                    ++kinds;
                    action.kind = key == "click" ? ActionKind::Click : key == "hover" ? ActionKind::Hover : ActionKind::Remove;
                    action.gauge = requireString(value, at, "\"" + key + "\" (the gauge's name)");
                } else if (key == "notice") {
                    ++kinds;
                    action.kind = ActionKind::Notice;
                    action.code = requireInt(value, at, "\"notice\" (the service code)");
                } else if (key == "gauge") {
                    action.gauge = requireString(value, at, "\"gauge\"");
                } else if (key == "x" || key == "y") {
                    (key == "x" ? action.x : action.y) = requireInt(value, at, "\"" + key + "\"");
                } else if (key == "button") {
                    std::string button = requireString(value, at, "\"button\"");
                    if (button != "left" && button != "right")
                        fail(at, "\"button\" is \"left\" or \"right\", not \"" + button + "\"");
                    action.right = button == "right";
                } else if (key == "extra") {
                    action.extra = static_cast<uint32_t>(integerValue(value, at, "\"extra\""));
                } else {
                    fail(at, "unknown action entry \"" + key + "\"");
                }
            }
            if (kinds != 1)
                fail(at, "an action is exactly one of click, hover, notice, remove");
            if ((action.kind == ActionKind::Click || action.kind == ActionKind::Hover) &&
                (!entry.contains("x") || !entry.contains("y")))
                fail(at, "a click or hover needs \"x\" and \"y\" (gauge pixels)");
            flight.actions.push_back(std::move(action));
        }
        std::stable_sort(flight.actions.begin(), flight.actions.end(),
                         [](const FlightAction& a, const FlightAction& b) { return a.time < b.time; });
    }

    void readCheckpoints(const json& checkpoints, int line, Flight& flight) const
    {
        if (!checkpoints.is_array())
            fail(line, "\"checkpoints\" must be a list");
        std::vector<int> lines = objectLinesOfArray(text_, keyOffset(text_, "checkpoints"));
        for (size_t i = 0; i < checkpoints.size(); ++i) {
            int at = i < lines.size() ? lines[i] : line;
            const json& entry = checkpoints[i];
            if (!entry.is_object() || !entry.contains("at"))
                fail(at, "each checkpoint is {\"at\": seconds, \"label\": text}");
            Checkpoint checkpoint{.time = requireTime(entry["at"], at, "\"at\"")};
            if (entry.contains("label"))
                checkpoint.label = requireString(entry["label"], at, "\"label\"");
            flight.checkpoints.push_back(std::move(checkpoint));
        }
        std::stable_sort(flight.checkpoints.begin(), flight.checkpoints.end(),
                         [](const Checkpoint& a, const Checkpoint& b) { return a.time < b.time; });
    }

    std::string_view text_;
    std::string_view file_;
};

}  // namespace

std::optional<double> VariableTrack::valueAt(double time) const
{
    if (keys.empty() || time < keys.front().time)
        return std::nullopt;
    auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                 [](double t, const Keyframe& k) { return t < k.time; });
    const Keyframe& before = *(next - 1);
    if (next == keys.end() || integer)
        return before.value;
    double share = (time - before.time) / (next->time - before.time);
    return before.value + share * (next->value - before.value);
}

Flight parseFlight(std::string_view text, std::string_view fileName)
{
    return FlightReader(text, fileName).read();
}

Flight loadFlight(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FlightError(path, 0, "cannot read the file");
    std::ostringstream text;
    text << in.rdbuf();
    return parseFlight(text.str(), path);
}

std::string_view demoFlightText()
{
    return
#include "demo_flight_text.inc"
        ;
}

Flight demoFlight() { return parseFlight(demoFlightText(), "<demo>"); }

FlightRunner::FlightRunner(Host& host, const Flight& flight) : host_(host), flight_(flight) {}

double FlightRunner::time() const { return static_cast<double>(frames_) / host_.options().framesPerSecond; }

uint64_t FlightRunner::framesFor(double seconds) const
{
    if (!(seconds > 0))
        return 0;
    return static_cast<uint64_t>(std::ceil(seconds * host_.options().framesPerSecond - 1e-9));
}

void FlightRunner::step()
{
    const double now = time();
    for (const VariableTrack& track : flight_.tracks)
        if (auto value = track.valueAt(now)) {
            if (track.integer)
                host_.variables().setInteger(track.id, static_cast<uint32_t>(*value));
            else
                host_.variables().set(track.id, *value);
        }
    while (nextAction_ < flight_.actions.size() && flight_.actions[nextAction_].time <= now)
        perform(flight_.actions[nextAction_++]);
    host_.frame();
    ++frames_;
}

void FlightRunner::run(uint64_t frames)
{
    for (uint64_t i = 0; i < frames; ++i)
        step();
}

void FlightRunner::runFor(double seconds) { run(framesFor(seconds)); }

void FlightRunner::perform(const FlightAction& action)
{
    auto placed = [&]() -> GaugeInstance& {
        GaugeInstance* gauge = host_.find(action.gauge);
        if (!gauge) {
            std::vector<std::string_view> names;
            for (const auto& g : host_.gauges())
                names.push_back(g->name());
            throw FlightError(flight_.source, action.line,
                              "no gauge \"" + action.gauge + "\" on the panel" + didYouMean(action.gauge, names));
        }
        return *gauge;
    };
    auto note = [&](std::string what) { log_.push_back({host_.frameNumber(), time(), std::move(what)}); };
    const std::string at = "(" + std::to_string(action.x) + "," + std::to_string(action.y) + ")";

    switch (action.kind) {
    case ActionKind::Click: {
        ClickResult result =
            host_.clickGaugePixel(placed(), Point{action.x, action.y}, action.right ? ClickRight : ClickLeft);
        std::string outcome = !result.hit      ? "nothing there"
                              : result.handled ? "handled"
                                               : "key event " + std::to_string(result.keyEvent);
        note(std::string(action.right ? "right" : "left") + " click on " + action.gauge + " at " + at + ": " + outcome);
        break;
    }
    case ActionKind::Hover:
        // The log is printed and written as JSON: UTF-8, not the host's code page.
        note("hover over " + action.gauge + " at " + at + ": \"" +
             windows1252ToUtf8(host_.hoverGaugePixel(placed(), Point{action.x, action.y})) + "\"");
        break;
    case ActionKind::Notice:
        if (action.gauge.empty())
            host_.notifyAll(action.code, action.extra);
        else
            host_.notify(placed(), action.code, action.extra);
        note("notice " + std::to_string(action.code) + " to " + (action.gauge.empty() ? "every gauge" : action.gauge));
        break;
    case ActionKind::Remove:
        host_.remove(placed());
        note("removed " + action.gauge);
        break;
    }
}

}  // namespace devhost
