#include "devhost/flight/expectations.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "devhost/core/gauge_notes.h"
#include "devhost/core/host.h"
#include "devhost/core/html_text.h"
#include "devhost/core/values.h"

namespace devhost {

namespace {

constexpr std::string_view PlusMinus = "\xC2\xB1", PlusMinusAscii = "+-";
constexpr double Exactly = 1e-9;  // two printed numbers that are the same differ by no more

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || (c & 0x80); }

// A number at the start of text ("+5", "-0.2", "122.800"), and what follows.
std::optional<double> leadingNumber(std::string_view& text)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::fixed);
    if (end == digits.data() || error != std::errc())
        return std::nullopt;
    text = text.substr(static_cast<size_t>(end - text.data()));
    return value;
}

// "left" and "down" make a number negative, "right" and "up" leave it.
std::optional<int> direction(std::string_view word)
{
    const std::string w = lower(word);
    if (w == "left" || w == "down")
        return -1;
    if (w == "right" || w == "up")
        return 1;
    return std::nullopt;
}

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!(text = trimmed(text)).empty()) {
        const size_t space = text.find(' ');
        out.push_back(text.substr(0, space));
        text = space == std::string_view::npos ? std::string_view{} : text.substr(space);
    }
    return out;
}

// The unit and the sign the words after a number give it.
struct After {
    std::string unit;
    int sign = 1;
};

After afterNumber(std::string_view rest)
{
    After after;
    for (std::string_view word : words(rest)) {
        if (auto sign = direction(word))
            after.sign = *sign;
        else
            after.unit += (after.unit.empty() ? "" : " ") + std::string(word);
    }
    return after;
}

bool startsWithWord(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && lower(text.substr(0, prefix.size())) == lower(prefix) &&
           (text.size() == prefix.size() || !isWordChar(text[prefix.size()]));
}

// The first number in reading followed by unit (any number when unit is
// empty), signed by the direction word after it.
std::optional<double> numberIn(std::string_view reading, std::string_view unit)
{
    for (size_t i = 0; i < reading.size(); ++i) {
        const char c = reading[i];
        const bool starts = std::isdigit(static_cast<unsigned char>(c)) ||
                            (c == '-' && i + 1 < reading.size() && std::isdigit(static_cast<unsigned char>(reading[i + 1])));
        if (!starts || (i > 0 && (isWordChar(reading[i - 1]) || reading[i - 1] == '.')))
            continue;
        std::string_view rest = reading.substr(i);
        const std::optional<double> value = leadingNumber(rest);
        if (!value)
            continue;
        i = reading.size() - rest.size();
        std::string_view after = trimmed(rest);
        if (!unit.empty()) {
            if (!startsWithWord(after, unit) && !(after.substr(0, unit.size()) == unit))
                continue;
            after = after.substr(unit.size());
        }
        // A direction word among the next two.
        const std::vector<std::string_view> next = words(after.substr(0, after.find_first_of("|(,")));
        int sign = 1;
        for (size_t w = 0; w < next.size() && w < 2; ++w)
            if (auto d = direction(next[w]))
                sign = *d;
        return *value * sign;
    }
    return std::nullopt;
}

std::string joined(const std::vector<std::string>& readings)
{
    std::string text;
    for (const std::string& r : readings)
        text += (text.empty() ? "" : " | ") + r;
    return text.empty() ? "(nothing)" : text;
}

ExpectationResult checkGauge(Host& host, const Expectation& e, ExpectationResult result)
{
    GaugeInstance* gauge = host.find(e.subject);
    if (!gauge) {
        result.shown = "(not on the panel)";
        return result;
    }
    std::vector<std::string> readings = gaugeReadings(host, *gauge, host.probe(*gauge));
    if (!e.label.empty())
        std::erase_if(readings, [&](const std::string& r) { return !startsWithWord(r, e.label); });
    result.shown = joined(readings);
    const ExpectedValue expected = parseExpected(e.expected);
    for (const std::string& reading : readings) {
        if (!expected.number) {
            if (lower(reading).find(lower(expected.words)) != std::string::npos)
                result.passed = true;
            continue;
        }
        const std::string_view past = e.label.empty() ? std::string_view(reading) : std::string_view(reading).substr(e.label.size());
        if (auto shown = numberIn(past, expected.unit);
            shown && std::fabs(*shown - *expected.number) <= expected.tolerance + Exactly) {
            result.passed = true;
            return result;
        }
    }
    return result;
}

// The host values of a variable's expected text, and the tolerance in host
// units (the tolerance's distance at the expected value).
struct HostExpectation {
    std::vector<VariableValue> values;
    double tolerance = 0;
};

HostExpectation hostExpectation(const Expectation& e)
{
    const SettingTarget target = settingTarget(e.subject);
    std::string_view text = e.expected;
    std::string_view tolerance;
    for (std::string_view mark : {PlusMinus, PlusMinusAscii})
        if (size_t at = text.find(mark); at != std::string_view::npos) {
            tolerance = trimmed(text.substr(at + mark.size()));
            text = trimmed(text.substr(0, at));
        }
    HostExpectation out{.values = hostValues(target, text)};
    if (!tolerance.empty()) {
        std::string_view rest = text;
        const std::optional<double> number = leadingNumber(rest);
        std::string_view tolRest = tolerance;
        const std::optional<double> by = leadingNumber(tolRest);
        if (!number || !by || !(*by >= 0))
            throw std::invalid_argument("\"" + e.expected + "\": the tolerance after ± is a number not below 0");
        const std::vector<VariableValue> far = hostValues(target, fmt::format("{}{}", *number + *by, rest));
        out.tolerance = std::fabs(far.front().value - out.values.front().value);
    }
    return out;
}

ExpectationResult checkVariable(Host& host, const Expectation& e, ExpectationResult result)
{
    const HostExpectation expected = hostExpectation(e);
    result.passed = true;
    for (const VariableValue& value : expected.values) {
        const double now = host.variables().get(value.id);
        const VariableInfo* info = findVariable(value.id);
        result.shown += (result.shown.empty() ? "" : ", ") + (info ? naturalText(*info, now) : fmt::format("{}", now));
        if (!(std::fabs(now - value.value) <= expected.tolerance + Exactly * std::max(1.0, std::fabs(value.value))))
            result.passed = false;
    }
    return result;
}

// XML 1.0 has no place for control characters other than tab and newline.
std::string xmlEscaped(std::string_view text)
{
    std::string out = htmlEscaped(text);
    std::replace_if(out.begin(), out.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n'; }, '?');
    return out;
}

std::string what(const Expectation& e)
{
    return e.subject + (e.label.empty() ? "" : " " + e.label) + " " + e.expected;
}

}  // namespace

ExpectedValue parseExpected(const std::string& written)
{
    std::string_view text = trimmed(written);
    if (text.empty())
        throw std::invalid_argument("an expectation says what is shown, e.g. \"450 km/h ±5\" or \"caged\"");
    std::string_view tolerance;
    for (std::string_view mark : {PlusMinus, PlusMinusAscii})
        if (size_t at = text.find(mark); at != std::string_view::npos) {
            tolerance = trimmed(text.substr(at + mark.size()));
            text = trimmed(text.substr(0, at));
        }
    ExpectedValue expected;
    std::string_view rest = text;
    expected.number = leadingNumber(rest);
    if (!expected.number) {
        if (!tolerance.empty())
            throw std::invalid_argument("\"" + written + "\": a tolerance (±) needs a number before it");
        expected.words = std::string(text);
        return expected;
    }
    if (!std::isfinite(*expected.number))
        throw std::invalid_argument("\"" + written + "\": the number is not finite");
    After after = afterNumber(rest);
    if (!tolerance.empty()) {
        std::string_view tolRest = tolerance;
        const std::optional<double> by = leadingNumber(tolRest);
        if (!by || !(*by >= 0) || !std::isfinite(*by))
            throw std::invalid_argument("\"" + written + "\": the tolerance after ± is a number not below 0");
        expected.tolerance = *by;
        const After tolAfter = afterNumber(tolRest);
        if (after.unit.empty())
            after.unit = tolAfter.unit;
        else if (!tolAfter.unit.empty() && lower(tolAfter.unit) != lower(after.unit))
            throw std::invalid_argument("\"" + written + "\": the tolerance is in " + tolAfter.unit + ", the value in " +
                                        after.unit);
        if (after.sign == 1 && tolAfter.sign == -1)
            after.sign = -1;
    }
    expected.number = *expected.number * after.sign;
    expected.unit = after.unit;
    return expected;
}

void validateExpectation(const Expectation& expectation)
{
    if (expectation.variable)
        (void)hostExpectation(expectation);
    else
        (void)parseExpected(expectation.expected);
}

std::vector<Expectation> expectationsShownNow(Host& host, const std::string& gauge)
{
    std::vector<Expectation> expectations;
    GaugeInstance* placed = host.find(gauge);
    if (!placed)
        return expectations;
    for (const std::string& reading : gaugeReadings(host, *placed, host.probe(*placed)))
        expectations.push_back({.subject = gauge, .expected = reading});
    return expectations;
}

ExpectationResult checkExpectation(Host& host, const Expectation& expectation)
{
    ExpectationResult result{.expectation = expectation};
    return expectation.variable ? checkVariable(host, expectation, std::move(result))
                                : checkGauge(host, expectation, std::move(result));
}

std::string failureTable(const std::vector<ExpectationResult>& results)
{
    std::string table = fmt::format("{:>9}  {:<28} {:<28} {}\n", "time", "gauge", "expected", "shown");
    for (const ExpectationResult& r : results)
        if (!r.passed) {
            const Expectation& e = r.expectation;
            table += fmt::format("{:>7.1f} s  {:<28} {:<28} {}\n", r.time, e.subject + (e.label.empty() ? "" : " " + e.label),
                                 e.expected, r.shown);
        }
    return table;
}

std::string junitReport(const std::string& flight, const std::vector<ExpectationResult>& results)
{
    const size_t failures = std::count_if(results.begin(), results.end(), [](const auto& r) { return !r.passed; });
    std::string xml = fmt::format("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<testsuites tests=\"{0}\" failures=\"{1}\">\n"
                                  "  <testsuite name=\"{2}\" tests=\"{0}\" failures=\"{1}\">\n",
                                  results.size(), failures, xmlEscaped(flight));
    for (const ExpectationResult& r : results) {
        xml += fmt::format("    <testcase classname=\"{}\" name=\"{}\"", xmlEscaped(fmt::format("{:.1f} s: {}", r.time, r.checkpoint)),
                           xmlEscaped(what(r.expectation)));
        if (r.passed)
            xml += "/>\n";
        else
            xml += fmt::format(">\n      <failure message=\"shown: {}\">expected {}, shown {}</failure>\n    </testcase>\n",
                               xmlEscaped(r.shown), xmlEscaped(r.expectation.expected), xmlEscaped(r.shown));
    }
    return xml + "  </testsuite>\n</testsuites>\n";
}

std::string tapReport(const std::vector<ExpectationResult>& results)
{
    std::string tap = fmt::format("TAP version 13\n1..{}\n", results.size());
    size_t n = 0;
    for (const ExpectationResult& r : results) {
        // A '#' in the description would start a TAP directive.
        std::string description = fmt::format("{:.1f} s: {}", r.time, what(r.expectation));
        std::replace(description.begin(), description.end(), '#', ' ');
        tap += fmt::format("{} {} - {}\n", r.passed ? "ok" : "not ok", ++n, description);
        if (!r.passed)
            tap += fmt::format("  ---\n  expected: \"{}\"\n  shown: \"{}\"\n  ...\n", r.expectation.expected, r.shown);
    }
    return tap;
}

}  // namespace devhost
