#include "devhost/flight/flight_recorder.h"

#include <fmt/format.h>

#include <algorithm>

#include "devhost/core/variables.h"
#include "devhost/flight/expectations.h"
#include "devhost/flight/flight_keys.h"

namespace devhost {

using Json = nlohmann::json;
namespace keys = flight_keys;

void FlightRecorder::begin(double now)
{
    *this = FlightRecorder{};
    on_ = true;
    start_ = last_ = now;
}

void FlightRecorder::end(double now)
{
    if (!on_)
        return;
    last_ = std::max(last_, now);
    on_ = false;
}

void FlightRecorder::reach(double time)
{
    if (on_)
        last_ = std::max(last_, time);
}

bool FlightRecorder::take(const Json& entry)
{
    const size_t size = entry.dump().size() + 8;
    if (entries_ + 1 > MaxRecordedEntries || bytes_ + size > MaxRecordingBytes) {
        on_ = false;
        stopped_ = fmt::format("the recording stopped at its cap ({} actions and settings, {} KB of script); "
                               "what was recorded is kept",
                               MaxRecordedEntries, MaxRecordingBytes / 1024);
        return false;
    }
    ++entries_;
    bytes_ += size;
    return true;
}

void FlightRecorder::click(double time, std::string_view gauge, int32_t x, int32_t y, bool right)
{
    if (!on_)
        return;
    Json entry{{keys::At, time},
               {keys::Click, gauge},
               {keys::X, x},
               {keys::Y, y},
               {keys::Button, right ? keys::Right : keys::Left}};
    if (take(entry)) {
        last_ = time;
        actions_.push_back(std::move(entry));
    }
}

void FlightRecorder::setting(double time, const VariableValue& v)
{
    if (!on_)
        return;
    const VariableInfo* info = findVariable(v.id);
    Json& keyframes = variables_[info ? std::string(info->name) : std::to_string(v.id)];
    // While the flight stands still, the last setting of a moment is the one that counts.
    if (!keyframes.empty() && keyframes.back()[0] == time)
        keyframes.back()[1] = v.value;
    else if (take(Json::array({time, v.value})))
        keyframes.push_back({time, v.value});
    last_ = std::max(last_, time);
}

FlightRecorder::Shown FlightRecorder::expectShown(Host& host, const std::string& gauge, double time)
{
    Shown shown;
    for (const Expectation& expectation : expectationsShownNow(host, gauge)) {
        try {
            validateExpectation(expectation);   // else the recording would not load again
        } catch (const std::exception&) {
            ++shown.unreadable;
            continue;
        }
        const Json expected = expectation.label.empty() ? Json(expectation.expected)
                                                        : Json{{expectation.label, expectation.expected}};
        Json entry{{keys::At, time}, {keys::Label, fmt::format("{} as shown", gauge)}, {keys::Expect, {{gauge, expected}}}};
        if (!take(entry))
            break;
        checkpoints_.push_back(std::move(entry));
        ++shown.added;
    }
    last_ = std::max(last_, time);
    return shown;
}

std::string FlightRecorder::script(const Json& flight, double now, double framesPerSecond)
{
    reach(now);
    Json variables = Json::object();
    for (const auto& [name, keyframes] : variables_)
        variables[name] = keyframes;
    const Json script{{keys::Name, "Recorded in devhost serve"},
                      {keys::Flight, flight},
                      {keys::Start, start_},
                      // Up to the frame after the last thing done, where the page showed it.
                      {keys::Duration, last_ + 1 / framesPerSecond},
                      {keys::Variables, variables},
                      {keys::Actions, actions_},
                      {keys::Checkpoints, checkpoints_}};
    return script.dump(2) + "\n";
}

}  // namespace devhost
