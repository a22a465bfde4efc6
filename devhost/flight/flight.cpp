#include "devhost/flight/flight.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "devhost/core/input_error.h"
#include "devhost/core/suggest.h"
#include "devhost/core/text_file.h"
#include "devhost/core/tooltip_format.h"
#include "devhost/core/values.h"
#include "devhost/core/variables.h"
#include "devhost/flight/flight_keys.h"

namespace devhost {

// Script order matters for tracks and error lines: keep the objects in it.
using json = nlohmann::ordered_json;
namespace keys = flight_keys;

namespace {

// The line of any offset in the text, found by halving a table of where
// lines begin: a script of a hundred thousand actions asks it for every one.
class LineIndex {
public:
    explicit LineIndex(std::string_view text)
    {
        for (size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
            ends_.push_back(at);
    }
    int lineAt(size_t offset) const
    {
        return 1 + static_cast<int>(std::lower_bound(ends_.begin(), ends_.end(), offset) - ends_.begin());
    }

private:
    std::vector<size_t> ends_;  // offsets of the newlines
};

// nlohmann's values carry no positions, so errors find their line in the
// text: the line of a quoted key after a given offset, and the lines on
// which the objects of an array begin.
size_t keyOffset(std::string_view text, std::string_view key, size_t from = 0)
{
    std::string quoted = "\"" + std::string(key) + "\"";
    size_t at = text.find(quoted, from);
    return at == std::string_view::npos ? from : at;
}

std::vector<int> objectLinesOfArray(std::string_view text, const LineIndex& lines, size_t from)
{
    std::vector<int> objectLines;
    size_t open = text.find('[', from);
    if (open == std::string_view::npos)
        return objectLines;
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
                objectLines.push_back(lines.lineAt(i));
            ++depth;
        } else if (c == ']' || c == '}') {
            if (--depth == 0)
                break;
        }
    }
    return objectLines;
}

class FlightReader {
public:
    FlightReader(std::string_view text, std::string_view file, int depth = 0)
        : text_(text), file_(file), lines_(text), depth_(depth)
    {
    }

    Flight read()
    {
        const json root = parsed();
        Flight flight;
        flight.source = std::string(file_);
        flight.warnings = std::move(warnings_);
        std::optional<Flight> over;
        for (auto& [key, value] : root.items()) {
            int line = lines_.lineAt(keyOffset(text_, key));
            if (key == keys::Flight)
                over = readUnderlyingFlight(value, line);
            else if (key == keys::Start)
                flight.start = requireTime(value, line, "\"start\"");
            else if (key == keys::Name)
                flight.name = requireString(value, line, "\"name\"");
            else if (key == keys::Duration)
                flight.duration = requireTime(value, line, "\"duration\"");
            else if (key == keys::Variables)
                readVariables(value, line, flight);
            else if (key == keys::Actions)
                readActions(value, line, flight);
            else if (key == keys::Checkpoints)
                readCheckpoints(value, line, flight);
            else if (key == keys::Model)
                flight.model = readModel(value, line);
            else
                fail(line, "unknown entry \"" + excerpt(key) + "\" (expected name, duration, variables, actions, checkpoints, model, flight, start)");
        }
        flight.durationGiven = root.contains(keys::Duration);
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
        if (over)
            return playedOver(std::move(*over), std::move(flight));
        return flight;
    }

private:
    // The script as JSON: an object, or a failure naming where the text goes wrong.
    json parsed()
    {
        // The reader would stop at a NUL and run what came before it.
        if (const size_t nul = text_.find('\0'); nul != std::string_view::npos)
            fail(lines_.lineAt(nul), "a NUL byte at byte " + std::to_string(nul + 1) +
                                         ": a flight script is text (is it UTF-16, or not a script at all?)");
        json root;
        try {
            root = json::parse(text_, keyWatch(), true, true);
        } catch (const json::parse_error& error) {
            fail(lines_.lineAt(error.byte > 0 ? error.byte - 1 : 0), "not valid JSON: " + excerpt(problemOf(error), 200));
        } catch (const json::out_of_range& error) {
            // A number beyond double's range, the one thing the reader
            // refuses without a position: it names the number, which is
            // found in the text.
            const std::string what = error.what();
            const size_t open = what.find('\''), close = what.rfind('\'');
            const std::string number = open < close ? what.substr(open + 1, close - open - 1) : std::string();
            const size_t at = number.empty() ? std::string_view::npos : text_.find(number);
            fail(at == std::string_view::npos ? 0 : lines_.lineAt(at),
                 "number " + excerpt(number) + " is out of range (a number can be at most about 1.8e308)");
        } catch (const json::exception& error) {
            fail(0, "not valid JSON: " + excerpt(problemOf(error), 200));
        }
        if (!root.is_object())
            fail(1, "a flight script is a JSON object");
        return root;
    }

    // A recording made over a flight names it: the built-in demo flight as
    // "<demo>", a script file by its path (from the recording's folder),
    // or the script itself.
    Flight readUnderlyingFlight(const json& value, int line) const
    {
        constexpr int MaxDepth = 8;
        if (depth_ >= MaxDepth)
            fail(line, "\"flight\" nests flights more than " + std::to_string(MaxDepth) + " deep");
        if (value.is_string() && value.get<std::string>() == DemoFlightSource)
            return parseFlight(demoFlightText(), DemoFlightSource);
        if (value.is_string()) {
            const std::filesystem::path named(value.get<std::string>());
            const std::filesystem::path path =
                named.is_absolute() ? named : std::filesystem::path(file_).parent_path() / named;
            TextFile file = readTextFile(path.string(), "flight script");
            if (file.problem)
                fail(line, "\"flight\" names " + excerpt(path.string()) + ": " + *file.problem);
            return FlightReader(file.text, path.string(), depth_ + 1).read();
        }
        if (value.is_object()) {
            const std::string text = value.dump();
            return FlightReader(text, std::string(file_) + " (its \"flight\")", depth_ + 1).read();
        }
        fail(line, "\"flight\" must be \"<demo>\", a flight script's path or a flight script");
    }

    FlightModelSpec readModel(const json& value, int line) const
    {
        if (!value.is_object() || !value.contains("script"))
            fail(line, "\"model\" is {\"script\": a JSBSim script, \"scenery\": a scenery file (optional)}");
        FlightModelSpec model{.line = line};
        const std::filesystem::path folder = std::filesystem::path(file_).parent_path();
        auto besideFlight = [&](const json& path, const std::string& what) {
            const std::filesystem::path named(requireString(path, line, what));
            return (named.is_absolute() ? named : folder / named).lexically_normal().string();
        };
        for (auto& [key, entry] : value.items()) {
            if (key == "script")
                model.script = besideFlight(entry, "\"script\" (a JSBSim script's path)");
            else if (key == "scenery")
                model.scenery = besideFlight(entry, "\"scenery\" (a scenery file's path)");
            else
                fail(line, "unknown entry \"" + excerpt(key) + "\" in \"model\" (expected script, scenery)");
        }
        return model;
    }

    // The recording's own keyframes and actions on top of the flight's: at
    // the same moment the recording's come after, as the user acted between frames.
    static Flight playedOver(Flight under, Flight own)
    {
        own.start = std::min(own.start, own.duration);
        for (VariableTrack& track : own.tracks)
            under.tracks.push_back(std::move(track));
        for (FlightAction& action : own.actions)
            under.actions.push_back(std::move(action));
        std::stable_sort(under.actions.begin(), under.actions.end(),
                         [](const FlightAction& a, const FlightAction& b) { return a.time < b.time; });
        under.checkpoints.insert(under.checkpoints.end(), own.checkpoints.begin(), own.checkpoints.end());
        std::stable_sort(under.checkpoints.begin(), under.checkpoints.end(),
                         [](const Checkpoint& a, const Checkpoint& b) { return a.time < b.time; });
        under.source = std::move(own.source);
        under.name = own.name.empty() ? under.name : std::move(own.name);
        under.duration = own.durationGiven ? own.duration : std::max(under.duration, own.duration);
        under.durationGiven = own.durationGiven || under.durationGiven;
        under.start = own.start;
        under.warnings = std::move(own.warnings);  // lines of the recording's own file
        if (own.model)
            under.model = std::move(own.model);
        return under;
    }

    [[noreturn]] void fail(int line, const std::string& problem) const
    {
        throw FlightError(std::string(file_), line, problem);
    }

    // Watches the keys of every object as the reader meets them: a key given
    // twice is a warning (the reader keeps the last), an object wider than
    // MaxJsonObjectKeys an error.
    json::parser_callback_t keyWatch()
    {
        return [this](int, json::parse_event_t event, json& parsed) {
            if (event == json::parse_event_t::object_start) {
                open_.emplace_back();
            } else if (event == json::parse_event_t::object_end && !open_.empty()) {
                open_.pop_back();
            } else if (event == json::parse_event_t::key && !open_.empty()) {
                const std::string& key = parsed.get_ref<const std::string&>();
                std::unordered_map<std::string, size_t>& keys = open_.back();
                const size_t from = keyFrom_;
                if (auto seen = keys.find(key); seen != keys.end()) {
                    const size_t again = keyOffset(text_, key, seen->second + 1);
                    warnings_.push_back({lines_.lineAt(again), "\"" + excerpt(key) +
                                                                   "\" is given twice in one object; the last is kept"});
                    seen->second = again;
                } else {
                    if (keys.size() == MaxJsonObjectKeys)
                        fail(lines_.lineAt(keyOffset(text_, key, from)),
                             "an object of more than " + std::to_string(MaxJsonObjectKeys) + " keys");
                    keys.emplace(key, keyOffset(text_, key, from));
                }
                keyFrom_ = keyOffset(text_, key, from);
            }
            return true;
        };
    }

    // The reader's own words without its "[json.exception...] parse error
    // at line L, column C: " preamble (the line is ours to give).
    static std::string problemOf(const json::exception& error)
    {
        std::string what = error.what();
        if (size_t colon = what.find(": "); colon != std::string::npos)
            return what.substr(colon + 2);
        if (size_t bracket = what.find("] "); bracket != std::string::npos)
            return what.substr(bracket + 2);
        return what;
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
        if (time < 0 || time > MaxFlightSeconds)
            fail(line, what + " " + value.dump() + " is out of range: expected 0 to " +
                           std::to_string(static_cast<long>(MaxFlightSeconds)) + " seconds (ten days)");
        return time;
    }

    int requireInt(const json& value, int line, const std::string& what) const
    {
        if (!value.is_number_integer())
            fail(line, what + " must be a whole number");
        // Read as signed, 2^64 - 1 would pass as -1.
        const bool inRange = value.is_number_unsigned() ? value.get<uint64_t>() <= INT32_MAX
                                                        : value.get<int64_t>() >= INT32_MIN && value.get<int64_t>() <= INT32_MAX;
        if (!inRange)
            fail(line, what + " " + value.dump() + " is out of range: expected -2147483648 to 2147483647");
        return static_cast<int>(value.get<int64_t>());
    }

    double integerValue(const json& value, int line, const std::string& what) const
    {
        if (value.is_string()) {
            const std::string text = value.get<std::string>();
            bool tooLarge = false;
            try {
                size_t used = 0;
                unsigned long long number = std::stoull(text, &used, 0);
                tooLarge = used == text.size() && number > UINT32_MAX;
                if (used == text.size() && number <= UINT32_MAX && text.find('-') == std::string::npos)
                    return static_cast<double>(number);
            } catch (const std::out_of_range&) {
                tooLarge = true;
            } catch (const std::exception&) {
            }
            if (tooLarge)
                fail(line, what + ": \"" + excerpt(text) + "\" is out of range: expected 0 to 4294967295 (0xFFFFFFFF)");
            fail(line, what + ": \"" + excerpt(text) + "\" is not an unsigned 32-bit number");
        }
        double number = requireNumber(value, line, what);
        if (number != std::floor(number))
            fail(line, what + " must be a whole number for this integer variable, not " + value.dump());
        if (number < 0 || number > UINT32_MAX)
            fail(line, what + " " + value.dump() + " is out of range: expected an unsigned 32-bit whole number, 0 to 4294967295");
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
        // The keys stand in the text in the order read: each is looked for
        // after the one before.
        size_t from = keyOffset(text_, keys::Variables);
        for (auto& [name, keys] : variables.items()) {
            from = keyOffset(text_, name, from);
            int at = lines_.lineAt(from);
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
        std::vector<int> lines = objectLinesOfArray(text_, lines_, keyOffset(text_, keys::Actions));
        for (size_t i = 0; i < actions.size(); ++i) {
            const json& entry = actions[i];
            int at = i < lines.size() ? lines[i] : line;
            if (!entry.is_object())
                fail(at, "each action is an object");
            FlightAction action{.line = at};
            if (!entry.contains(keys::At))
                fail(at, "action without \"at\" (its time in seconds)");
            action.time = requireTime(entry[keys::At], at, "\"at\"");
            int kinds = 0;
            for (auto& [key, value] : entry.items()) {
                if (key == keys::At) {
                } else if (key == keys::Click || key == keys::Hover || key == keys::Remove) {
                    ++kinds;
                    action.kind = key == keys::Click ? ActionKind::Click : key == keys::Hover ? ActionKind::Hover : ActionKind::Remove;
                    action.gauge = requireString(value, at, "\"" + key + "\" (the gauge's name)");
                } else if (key == keys::Notice) {
                    ++kinds;
                    action.kind = ActionKind::Notice;
                    action.code = requireInt(value, at, "\"notice\" (the service code)");
                } else if (key == keys::Gauge) {
                    action.gauge = requireString(value, at, "\"gauge\"");
                } else if (key == keys::X || key == keys::Y) {
                    (key == keys::X ? action.x : action.y) = requireInt(value, at, "\"" + key + "\"");
                } else if (key == keys::Button) {
                    std::string button = requireString(value, at, "\"button\"");
                    if (button != keys::Left && button != keys::Right)
                        fail(at, "\"button\" is \"left\" or \"right\", not \"" + excerpt(button) + "\"");
                    action.right = button == keys::Right;
                } else if (key == keys::Extra) {
                    action.extra = static_cast<uint32_t>(integerValue(value, at, "\"extra\""));
                } else {
                    fail(at, "unknown action entry \"" + excerpt(key) + "\"");
                }
            }
            if (kinds != 1)
                fail(at, "an action is exactly one of click, hover, notice, remove");
            if ((action.kind == ActionKind::Click || action.kind == ActionKind::Hover) &&
                (!entry.contains(keys::X) || !entry.contains(keys::Y)))
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
        std::vector<int> lines = objectLinesOfArray(text_, lines_, keyOffset(text_, keys::Checkpoints));
        for (size_t i = 0; i < checkpoints.size(); ++i) {
            int at = i < lines.size() ? lines[i] : line;
            const json& entry = checkpoints[i];
            if (!entry.is_object() || !entry.contains(keys::At))
                fail(at, "each checkpoint is {\"at\": seconds, \"label\": text}");
            Checkpoint checkpoint{.time = requireTime(entry[keys::At], at, "\"at\"")};
            if (entry.contains(keys::Label))
                checkpoint.label = requireString(entry[keys::Label], at, "\"label\"");
            if (entry.contains(keys::Expect))
                checkpoint.expect = readExpectations(entry[keys::Expect], at);
            flight.checkpoints.push_back(std::move(checkpoint));
        }
        std::stable_sort(flight.checkpoints.begin(), flight.checkpoints.end(),
                         [](const Checkpoint& a, const Checkpoint& b) { return a.time < b.time; });
    }

    // Gauges are named as the module names them (capitalised); variables by
    // their lower-case script names or numbers, as --set takes them.
    std::vector<Expectation> readExpectations(const json& expect, int line) const
    {
        if (!expect.is_object())
            fail(line, "\"expect\" is an object of gauges or variables and what they show, e.g. "
                       "{\"Airspeed\": \"450 km/h ±5\", \"com1_freq\": \"122.80\"}");
        std::vector<Expectation> expectations;
        for (auto& item : expect.items()) {
            const std::string& subject = item.key();  // named, not bound: lambdas below take it
            const json& value = item.value();
            const bool variable = !subject.empty() && !std::isupper(static_cast<unsigned char>(subject[0]));
            if (variable) {
                try {
                    settingTarget(subject);
                } catch (const ValueError& error) {
                    fail(line, "\"expect\": " + std::string(error.what()));
                }
            }
            auto add = [&](const std::string& label, const json& text) {
                if (!text.is_string())
                    fail(line, "\"expect\" of \"" + excerpt(subject) + "\": what it shows is a text, e.g. \"450 km/h ±5\"");
                Expectation e{.subject = subject, .label = label, .expected = text.get<std::string>(),
                              .variable = variable, .line = line};
                try {
                    validateExpectation(e);
                } catch (const std::exception& error) {
                    fail(line, "\"expect\" of \"" + excerpt(subject) + "\": " + error.what());
                }
                expectations.push_back(std::move(e));
            };
            if (value.is_object() && !variable)
                for (auto& [label, text] : value.items())
                    add(label, text);
            else
                add("", value);
        }
        return expectations;
    }

    std::string_view text_;
    std::string_view file_;
    LineIndex lines_;
    std::vector<std::unordered_map<std::string, size_t>> open_;  // the keys of each open object, where each was
    size_t keyFrom_ = 0;                                          // where the latest key stood
    std::vector<FlightWarning> warnings_;
    int depth_;   // flights this one is nested in (see readUnderlyingFlight)
};

}  // namespace

size_t VariableTrack::keysReachedBy(double time) const
{
    return static_cast<size_t>(std::upper_bound(keys.begin(), keys.end(), time,
                                                [](double t, const Keyframe& k) { return t < k.time; }) -
                               keys.begin());
}

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
    return parseFlight(readTextFileOrThrow<FlightError>(path, "flight script"), path);
}

std::string_view demoFlightText()
{
    return
#include "demo_flight_text.inc"
        ;
}

Flight demoFlight() { return parseFlight(demoFlightText(), DemoFlightSource); }

FlightRunner::FlightRunner(Host& host, const Flight& flight, bool lenient, std::unique_ptr<AircraftModel> model)
    : host_(host), flight_(flight), model_(std::move(model)), lenient_(lenient || flight.source == DemoFlightSource),
      held_(flight_.tracks.size())
{
    if (flight_.model && !model_)
        throw FlightError(flight_.source, flight_.model->line,
                          "this flight flies on the flight model (\"model\"), which this command does not run");
}

double FlightRunner::time() const { return static_cast<double>(frames_) / host_.options().framesPerSecond; }

uint64_t FlightRunner::framesFor(double seconds) const
{
    if (!(seconds > 0))
        return 0;
    // Past what a frame counter holds the count stops there, rather than
    // wrap (converting a larger double is undefined).
    const double frames = std::ceil(seconds * host_.options().framesPerSecond - 1e-9);
    return frames < 0x1p64 ? static_cast<uint64_t>(frames) : UINT64_MAX;
}

uint64_t FlightRunner::framesBefore(double seconds) const { return std::max<uint64_t>(1, framesFor(seconds)); }

uint64_t FlightRunner::framesThrough(double seconds) const
{
    const uint64_t before = framesFor(seconds);
    return before == UINT64_MAX ? before : before + 1;
}

void FlightRunner::step()
{
    const double now = time();
    if (model_)
        model_->advanceTo(now, host_.variables());
    VariableStore& variables = host_.variables();
    for (size_t i = 0; i < flight_.tracks.size(); ++i) {
        const VariableTrack& track = flight_.tracks[i];
        std::optional<double> value = track.valueAt(now);
        if (!value)
            continue;
        if (!track.integer) {
            variables.set(track.id, *value);
            continue;
        }
        // A stepped value (a frequency, a code, a switch register) is one
        // the panel's events change too: the track sets it when a keyframe
        // is reached and holds it only until the panel changes it, so
        // that the pilot's clicks stay. Holding it every frame until then
        // stands in for a model that sets it.
        HeldValue& held = held_[i];
        const size_t reached = track.keysReachedBy(now);
        if (reached != held.keysReached)
            held = {.keysReached = reached, .holding = true, .value = static_cast<uint32_t>(*value)};
        if (held.holding)
            variables.setInteger(track.id, held.value);
    }
    while (nextAction_ < flight_.actions.size() && flight_.actions[nextAction_].time <= now)
        perform(flight_.actions[nextAction_++]);
    host_.frame();
    for (size_t i = 0; i < flight_.tracks.size(); ++i)
        if (held_[i].holding && variables.getInteger(flight_.tracks[i].id) != held_[i].value)
            held_[i].holding = false;
    ++frames_;
}

void FlightRunner::run(uint64_t frames)
{
    for (uint64_t i = 0; i < frames; ++i)
        step();
}

void FlightRunner::runFor(double seconds) { run(framesFor(seconds)); }

namespace {

// What a gauge changes besides its own readings: module-wide switches that
// other gauges read. A lenient run that passes over the gauge's actions
// cannot check what these show after.
struct Reach {
    std::string_view gauge;
    bool onNotice;                             // acts on a notice to every gauge (the rest on clicks)
    std::array<std::string_view, 6> shownBy;
};

constexpr Reach reaches[] = {
    {"Shut_Down", true, {"Radio_COM_SK10", "Radio_ADF_EZ6", "Radio_NAV_E10K", "Radio_XPDR_FUG25A6", "ADF_Indicator",
                         "Landing_Indicator"}},
    {"Metric_Switch", false, {"Airspeed", "Altimeter", "Vertical_Speed"}},
    {"Radio_ADF_EZ6", false, {"ADF_Indicator"}},
    {"Radio_NAV_E10K", false, {"Landing_Indicator"}},
};

}  // namespace

FlightRunner::PassOver FlightRunner::passOver(const Expectation& expectation) const
{
    if (!lenient_)
        return PassOver::No;
    if (!expectation.variable && !host_.find(expectation.subject))
        return PassOver::GaugeNotPlaced;
    // Any click sends key events, which set host variables.
    auto reachesSubject = [&](const Reach& reach) {
        return std::find(missed_.begin(), missed_.end(), reach.gauge) != missed_.end() &&
               std::find(reach.shownBy.begin(), reach.shownBy.end(), expectation.subject) != reach.shownBy.end();
    };
    const bool reached = expectation.variable ? !missed_.empty()
                                              : std::any_of(std::begin(reaches), std::end(reaches), reachesSubject);
    return reached ? PassOver::DependsOnPassedOver : PassOver::No;
}

void FlightRunner::perform(const FlightAction& action)
{
    auto note = [&](std::string what) { log_.push_back({host_.frameNumber(), time(), std::move(what)}); };
    auto miss = [&](std::string_view gauge) {
        if (std::find(missed_.begin(), missed_.end(), gauge) == missed_.end())
            missed_.emplace_back(gauge);
    };
    if (action.kind == ActionKind::Notice && action.gauge.empty())
        for (const Reach& reach : reaches)
            if (reach.onNotice && !host_.find(reach.gauge))
                miss(reach.gauge);
    if (!action.gauge.empty() && !host_.find(action.gauge)) {
        if (!lenient_) {
            std::vector<std::string_view> names;
            for (const auto& g : host_.gauges())
                names.push_back(g->name());
            throw FlightError(flight_.source, action.line,
                              "no gauge \"" + action.gauge + "\" on the panel" + didYouMean(action.gauge, names) +
                                  " (--lenient passes over actions on gauges the panel does not place)");
        }
        if (std::find(absent_.begin(), absent_.end(), action.gauge) == absent_.end()) {
            absent_.push_back(action.gauge);
            note("no gauge \"" + action.gauge + "\" on the panel: its actions are passed over");
        }
        if (action.kind == ActionKind::Click || action.kind == ActionKind::Notice)
            miss(action.gauge);
        return;
    }
    auto placed = [&]() -> GaugeInstance& { return *host_.find(action.gauge); };
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
