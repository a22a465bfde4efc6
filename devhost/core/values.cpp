#include "devhost/core/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "devhost/core/input_error.h"
#include "devhost/core/suggest.h"

namespace devhost {

namespace {

constexpr double PsiPerKgCm2 = 14.2233;
constexpr double KilometresPerNauticalMile = 1.852;
constexpr double MilesPerNauticalMile = 1.150779;
constexpr double RankineAtZeroFahrenheit = 459.67;
constexpr double LitresPerGallon = 3.785;         // as the fuel gauges convert
constexpr double FullFlaps = 16383.0;
constexpr double TurnUnits = 65536.0;
constexpr double DegreesPerTurn = 360.0;
constexpr double Percent = 100.0;
constexpr double HighestRegister = 4294967295.0;
constexpr std::string_view AdfAlias = "adf";

// A unit a user may write: host value = number x scale + offset. The first
// unit of each quantity is the one values are told in.
struct Unit {
    Quantity quantity;
    std::string_view name;  // as written, matched without regard to case
    double scale;
    double offset = 0;
};

constexpr Unit units[] = {
    {Quantity::Knots, "kt", 1},
    {Quantity::Knots, "kts", 1},
    {Quantity::Knots, "knots", 1},
    {Quantity::Knots, "kmh", 1 / KilometresPerNauticalMile},
    {Quantity::Knots, "km/h", 1 / KilometresPerNauticalMile},
    {Quantity::Knots, "mph", 1 / MilesPerNauticalMile},
    {Quantity::Feet, "ft", 1},
    {Quantity::Feet, "m", 1 / MetresPerFoot},
    {Quantity::VerticalSpeed, "m/s", VerticalSpeedPerMs},
    {Quantity::VerticalSpeed, "ft/min", VerticalSpeedPerMs * MetresPerFoot / 60},
    {Quantity::VerticalSpeed, "fpm", VerticalSpeedPerMs * MetresPerFoot / 60},
    {Quantity::Degrees, "deg", 1},
    {Quantity::Degrees, "°", 1},
    {Quantity::TurnFraction, "deg", TurnUnits / DegreesPerTurn},
    {Quantity::TurnFraction, "°", TurnUnits / DegreesPerTurn},
    {Quantity::Millibars, "mb", 1},
    {Quantity::Millibars, "hPa", 1},
    {Quantity::Millibars, "inHg", MillibarsPerInch},
    {Quantity::InchesOfMercury, "inHg", 1},
    {Quantity::InchesOfMercury, "mb", 1 / MillibarsPerInch},
    {Quantity::InchesOfMercury, "hPa", 1 / MillibarsPerInch},
    {Quantity::EngineSpeed, "rpm", 1 / RpmPerUnit},
    {Quantity::Rankine, "°C", RankinePerKelvin, RankineAtZeroCelsius},
    {Quantity::Rankine, "C", RankinePerKelvin, RankineAtZeroCelsius},
    {Quantity::Rankine, "F", 1, RankineAtZeroFahrenheit},
    {Quantity::Rankine, "°F", 1, RankineAtZeroFahrenheit},
    {Quantity::Rankine, "K", RankinePerKelvin},
    {Quantity::Rankine, "R", 1},
    {Quantity::EnginePressure, "kg/cm2", PressurePerKgCm2},
    {Quantity::EnginePressure, "psi", PressurePerKgCm2 / PsiPerKgCm2},
    {Quantity::TankLevel, "%", FullTankLevel / Percent},
    {Quantity::Gallons, "gal", 1},
    {Quantity::Gallons, "l", 1 / LitresPerGallon},
    {Quantity::FlapsTravel, "%", FullFlaps / Percent},
    {Quantity::Seconds, "s", 1},
    {Quantity::Seconds, "min", 60},
    {Quantity::Seconds, "h", 3600},
};

// What a variable can physically hold, in host units: a value outside is a
// slip of the keyboard or of the unit, refused with the range in the
// variable's own unit.
struct Range {
    Quantity quantity;
    double lowest;
    double highest;
};

constexpr double TachometerStop = 175;  // the engine-speed register at the tachometers' upper stop

constexpr Range ranges[] = {
    {Quantity::Rankine, 0, HUGE_VAL},               // absolute zero
    {Quantity::EngineSpeed, 0, TachometerStop},
    {Quantity::EnginePressure, 0, HUGE_VAL},
    {Quantity::Gallons, 0, HUGE_VAL},
    {Quantity::TankLevel, 0, FullTankLevel},
    {Quantity::FlapsTravel, 0, FullFlaps},
    {Quantity::Seconds, 0, HUGE_VAL},
};

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Typed or read text, as a message quotes it.
std::string quoted(std::string_view text) { return "\"" + excerpt(text) + "\""; }

std::string unitList(Quantity quantity)
{
    std::string list;
    for (const Unit& unit : units)
        if (unit.quantity == quantity)
            list += (list.empty() ? "" : ", ") + std::string(unit.name);
    return list;
}

// The leading decimal number of text and what follows it.
struct Number {
    double value;
    std::string_view rest;
    bool point;  // written with a decimal point
};

std::optional<Number> leadingNumber(std::string_view text)
{
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                        std::chars_format::fixed | std::chars_format::scientific);
    if (end == digits.data())
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        throw ValueError(quoted(text) + " is out of range (a double holds up to about 1.8e308)");
    std::string_view number(digits.data(), static_cast<size_t>(end - digits.data()));
    return Number{value, trimmed(std::string_view(end, static_cast<size_t>(digits.data() + digits.size() - end))),
                  number.find('.') != std::string_view::npos};
}

std::optional<uint32_t> hexNumber(std::string_view text)
{
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
    if (end != text.data() + text.size())
        throw ValueError(quoted(text) + " is not an unsigned 32-bit hex number");
    if (error != std::errc() || value > UINT32_MAX)
        throw ValueError(quoted(text) + " is out of range (0x0 to 0xFFFFFFFF)");
    return static_cast<uint32_t>(value);
}

// The host value told in the quantity's first unit, to six digits; a value
// within rounding of zero is zero (273.15 K is 0 °C, not -3e-14).
std::optional<std::string> inFirstUnit(Quantity quantity, double hostValue)
{
    for (const Unit& unit : units)
        if (unit.quantity == quantity) {
            double value = (hostValue - unit.offset) / unit.scale;
            if (std::fabs(value) < 1e-9 * (1 + std::fabs(unit.offset / unit.scale)))
                value = 0;
            char text[48];
            std::snprintf(text, sizeof text, "%.6g %s", value, unit.name.data());
            return text;
        }
    return std::nullopt;
}

std::string formsOf(Quantity quantity)
{
    switch (quantity) {
    case Quantity::ComFrequency:
        return "MHz, e.g. 122.80, 122 or 122.800 MHz (118.000 to 136.975, 25-kHz channels); the raw register in "
               "hex, e.g. 0x2280";
    case Quantity::NavFrequency:
        return "MHz, e.g. 110.30, 110 or 110.30 MHz (108.00 to 117.95, 50-kHz channels); the raw register in hex, "
               "e.g. 0x1030";
    case Quantity::AdfFrequency:
        return "kHz, e.g. 345.5, 345 or 345.5 kHz (100.0 to 1799.9; sets adf_freq_ext too); the raw register in "
               "hex, e.g. 0x345";
    case Quantity::AdfExtension: return "the raw register in hex, e.g. 0x105 (thousands bit 0x100, tenths of kHz)";
    case Quantity::TransponderCode: return "four digits 0 to 7, e.g. 7700 (the raw register in hex: 0x7700)";
    case Quantity::Flag: return "on, off";
    case Quantity::Seconds: return "s, min, h, or hh:mm[:ss]";
    default: return unitList(quantity);
    }
}

[[noreturn]] void refuse(std::string_view text, const VariableInfo& info, std::string_view why)
{
    throw ValueError(quoted(text) + " " + std::string(why) + " for " + std::string(info.name) + " (accepted: " +
                     (formsOf(info.quantity).empty() ? std::string() : formsOf(info.quantity) + "; ") +
                     (info.kind == VariableKind::Bcd || info.kind == VariableKind::Code
                          ? std::string("nothing else")
                      : info.delivery == Delivery::Integer ? "an unsigned 32-bit whole number, 0 to 4294967295, or hex"
                                                           : "a number in " + std::string(info.unit)) +
                     ")");
}

std::vector<VariableValue> one(uint32_t id, double value) { return {VariableValue{id, value}}; }

// A raw value for the variable: a whole register for integer variables.
std::vector<VariableValue> rawValue(const SettingTarget& target, std::string_view text, double value)
{
    if (!std::isfinite(value))
        throw ValueError(quoted(text) + " is not a finite number");
    if (target.info && target.info->delivery == Delivery::Integer) {
        if (value != std::floor(value))
            refuse(text, *target.info, "is not a whole number");
        if (value < 0 || value > HighestRegister)
            refuse(text, *target.info, "is out of range");
    }
    if (target.info)
        for (const Range& range : ranges) {
            if (range.quantity != target.info->quantity)
                continue;
            // A limit written in another unit ("-273.15C") lands a rounding
            // away from it.
            const double slack = 1e-9 * (1 + std::fabs(value));
            if (value < range.lowest && value >= range.lowest - slack)
                value = range.lowest;
            if (value > range.highest && value <= range.highest + slack)
                value = range.highest;
            if (!(value >= range.lowest && value <= range.highest))
                throw ValueError(quoted(text) + " is out of range for " + std::string(target.info->name) + ": " +
                                 *inFirstUnit(range.quantity, range.lowest) +
                                 (std::isinf(range.highest) ? " or more"
                                                            : " to " + *inFirstUnit(range.quantity, range.highest)));
        }
    return one(target.id, value);
}

int khzOf(std::string_view text, double mhz, int bottom, int top, int step, std::string_view radio)
{
    const double khz = mhz * 1000.0;
    const long rounded = std::lround(khz);
    const auto band = [&] {
        return std::string(radio) + " band " + std::to_string(bottom / 1000) + "." +
               std::to_string(bottom % 1000 + 1000).substr(1) + " to " + std::to_string(top / 1000) + "." +
               std::to_string(top % 1000 + 1000).substr(1) + " MHz in " + std::to_string(step) + "-kHz channels";
    };
    if (!(khz >= bottom - 0.5 && khz <= top + 0.5))
        throw ValueError(quoted(text) + " MHz is outside the " + band() +
                         " (a raw register is written in hex, e.g. 0x2280)");
    if (std::fabs(khz - double(rounded)) > 1e-6 || rounded % step != 0)
        throw ValueError(quoted(text) + " MHz is not a channel of the " + band());
    return static_cast<int>(rounded);
}

std::vector<VariableValue> adfValues(std::string_view text, double khz)
{
    const double tenths = khz * 10.0;
    const long rounded = std::lround(tenths);
    if (!(tenths >= AdfBottomTenths - 0.5 && tenths <= AdfTopTenths + 0.5))
        throw ValueError(quoted(text) + " kHz is outside the ADF band 100.0 to 1799.9 kHz");
    if (std::fabs(tenths - double(rounded)) > 1e-6)
        throw ValueError(quoted(text) + " kHz is finer than the ADF's 0.1 kHz");
    const AdfRegisters registers = adfRegisters(static_cast<int>(rounded));
    return {{var::AdfFrequency, double(registers.frequency)}, {var::AdfExtension, double(registers.extension)}};
}

std::vector<VariableValue> transponderValue(const SettingTarget& target, std::string_view text)
{
    constexpr size_t Digits = 4;
    constexpr char HighestDigit = '7';
    if (text.size() != Digits || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        refuse(text, *target.info, "is not a transponder code");
    for (char c : text)
        if (c > HighestDigit)
            throw ValueError(quoted(text) + ": transponder digit " + std::string(1, c) +
                             " is not 0 to 7 (a code is four digits 0 to 7, e.g. 7700)");
    uint32_t code = 0;
    for (char c : text)
        code = code << 4 | static_cast<uint32_t>(c - '0');
    return one(target.id, code);
}

std::optional<double> timeOfDay(std::string_view text)
{
    if (text.find(':') == std::string_view::npos)
        return std::nullopt;
    int parts[3] = {0, 0, 0};
    size_t count = 0;
    for (std::string_view rest = text; count < 3;) {
        const size_t colon = rest.find(':');
        std::string_view field = rest.substr(0, colon);
        auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), parts[count]);
        if (field.empty() || error != std::errc() || end != field.data() + field.size())
            return std::nullopt;
        ++count;
        if (colon == std::string_view::npos)
            break;
        rest = rest.substr(colon + 1);
        if (count == 3)
            return std::nullopt;
    }
    if (count < 2 || parts[0] < 0 || parts[0] > 23 || parts[1] < 0 || parts[1] > 59 || parts[2] < 0 || parts[2] > 59)
        throw ValueError(quoted(text) + " is not a time of day (hh:mm or hh:mm:ss, 00:00 to 23:59:59)");
    return parts[0] * 3600.0 + parts[1] * 60.0 + parts[2];
}

}  // namespace

std::vector<std::string_view> settingNames()
{
    std::vector<std::string_view> names{AdfAlias};
    for (const VariableInfo& v : knownVariables())
        names.push_back(v.name);
    return names;
}

SettingTarget settingTarget(std::string_view name)
{
    name = trimmed(name);
    if (name == AdfAlias)
        return {.id = var::AdfFrequency, .info = findVariable(var::AdfFrequency), .name = std::string(name)};
    if (const VariableInfo* info = findVariable(name))
        return {.id = info->id, .info = info, .name = std::string(name)};
    if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        uint64_t id = 0;
        auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), id);
        if (error != std::errc() || id == 0 || id > UINT32_MAX)
            throw ValueError("variable number " + std::string(name) + " is out of range (1 to 4294967295)");
        const VariableInfo* info = findVariable(static_cast<uint32_t>(id));
        if (!info)
            throw ValueError("variable " + std::string(name) +
                             " is not one the gauges read, so setting it cannot be meant; `devhost vars` lists them");
        return {.id = info->id, .info = info, .name = std::string(name)};
    }
    const std::vector<std::string_view> names = settingNames();
    throw ValueError("unknown variable " + quoted(name) + didYouMean(name, names) + "; `devhost vars` lists them");
}

std::vector<VariableValue> hostValues(const SettingTarget& target, std::string_view written)
{
    const std::string_view text = trimmed(written);
    if (text.empty())
        throw ValueError("no value given for " + target.name);
    if (auto hex = hexNumber(text))
        return rawValue(target, text, *hex);
    if (!target.info) {
        auto number = leadingNumber(text);
        if (!number || !number->rest.empty())
            throw ValueError(quoted(text) + " is not a number (variable " + target.name +
                             " is not in the catalogue: its raw number only)");
        return rawValue(target, text, number->value);
    }
    const VariableInfo& info = *target.info;
    if (info.quantity == Quantity::Flag) {
        if (sameName(text, "on") || sameName(text, "true") || sameName(text, "yes"))
            return one(target.id, 1);
        if (sameName(text, "off") || sameName(text, "false") || sameName(text, "no"))
            return one(target.id, 0);
    }
    if (info.quantity == Quantity::TransponderCode)
        return transponderValue(target, text);
    if (info.quantity == Quantity::Seconds)
        if (auto seconds = timeOfDay(text))
            return one(target.id, *seconds);

    const std::optional<Number> number = leadingNumber(text);
    if (!number)
        refuse(text, info, "is not a number");
    if (!std::isfinite(number->value))
        refuse(text, info, "is not a finite number");
    // A radio's number is its frequency, bare or with its unit; the raw
    // register needs its hex form, so that 122 is never taken for 0x122.
    const bool bare = number->rest.empty();
    const std::string_view number_text = text.substr(0, text.size() - number->rest.size());
    switch (info.quantity) {
    case Quantity::ComFrequency:
        if (bare || sameName(number->rest, "MHz"))
            return one(target.id, radioRegister(khzOf(trimmed(number_text), number->value, ComBottomKhz, ComTopKhz,
                                                      ComStepKhz, "COM")));
        break;
    case Quantity::NavFrequency:
        if (bare || sameName(number->rest, "MHz"))
            return one(target.id, radioRegister(khzOf(trimmed(number_text), number->value, NavBottomKhz, NavTopKhz,
                                                      NavStepKhz, "NAV")));
        break;
    case Quantity::AdfFrequency:
        if (bare || sameName(number->rest, "kHz"))
            return adfValues(trimmed(number_text), number->value);
        break;
    case Quantity::AdfExtension:
        if (bare)
            refuse(text, info, "is a raw register: write it in hex");
        break;
    default:
        if (bare)
            return rawValue(target, text, number->value);
    }
    for (const Unit& unit : units)
        if (unit.quantity == info.quantity && sameName(number->rest, unit.name)) {
            if (unit.name == "%" && !(number->value >= 0 && number->value <= Percent))
                throw ValueError(quoted(text) + " is out of range for " + std::string(info.name) + " (0% to 100%)");
            // What is left when a limit cancels the offset is rounding.
            double value = number->value * unit.scale + unit.offset;
            if (std::fabs(value) < 1e-12 * (std::fabs(number->value * unit.scale) + std::fabs(unit.offset)))
                value = 0;
            return rawValue(target, text, value);
        }
    const std::string accepted = unitList(info.quantity);
    throw ValueError(quoted(text) + ": " + quoted(number->rest) + " is not a unit of " + std::string(info.name) +
                     (accepted.empty() ? " (it takes a plain number in " + std::string(info.unit) + ")"
                                       : " (accepted: " + accepted + ", or a plain number in " +
                                             std::string(info.unit) + ")"));
}

std::vector<VariableValue> parseSetting(std::string_view setting)
{
    const size_t equals = setting.find('=');
    if (equals == std::string_view::npos || equals == 0 || equals + 1 == setting.size())
        throw ValueError("expected NAME=VALUE, e.g. airspeed=250kmh or com1_freq=122.80");
    return hostValues(settingTarget(setting.substr(0, equals)), setting.substr(equals + 1));
}

std::string acceptedForms(const VariableInfo& variable) { return formsOf(variable.quantity); }

std::string naturalText(const VariableInfo& variable, double hostValue)
{
    char text[48];
    const auto integer = static_cast<uint32_t>(std::isfinite(hostValue) && hostValue >= 0 && hostValue <= HighestRegister
                                                   ? hostValue
                                                   : 0);
    // Registers are told in their natural form only where that form is
    // accepted back: a frequency in its band, a code of digits 0 to 7;
    // anything else as the raw register.
    switch (variable.quantity) {
    case Quantity::ComFrequency:
    case Quantity::NavFrequency: {
        const bool com = variable.quantity == Quantity::ComFrequency;
        if (auto khz = radioKhz(integer);
            khz && *khz >= (com ? ComBottomKhz : NavBottomKhz) && *khz <= (com ? ComTopKhz : NavTopKhz) &&
            *khz % (com ? ComStepKhz : NavStepKhz) == 0) {
            std::snprintf(text, sizeof text, "%.3f MHz", *khz / 1000.0);
            return text;
        }
        break;
    }
    case Quantity::AdfFrequency:
        if (auto units = fromBcd(integer); units && *units >= AdfBottomTenths / 10 && *units <= 999) {
            std::snprintf(text, sizeof text, "%u.0 kHz", *units);
            return text;
        }
        break;
    case Quantity::TransponderCode:
        if (integer <= 0x7777 && (integer & 0x8888) == 0) {
            std::snprintf(text, sizeof text, "%04X", integer);
            return text;
        }
        break;
    case Quantity::Flag: return hostValue != 0 ? "on" : "off";
    default:
        if (auto told = inFirstUnit(variable.quantity, hostValue))
            return *told;
    }
    if (variable.delivery == Delivery::Integer)
        std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(integer));
    else  // the shortest text that reads back as the same double
        *std::to_chars(text, text + sizeof text - 1, hostValue).ptr = '\0';
    return text;
}

}  // namespace devhost
