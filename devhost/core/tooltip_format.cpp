// Tooltip texts: the message-formatter inserts that the gauges write, filled
// from their argument callbacks, and the host's own help texts.
#include "devhost/core/tooltip_format.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace devhost {

namespace {

constexpr std::string_view Unprintable = "?";
constexpr int MaxWidth = 100;      // a tooltip is one line: wider fields are mistakes, not layout
constexpr int MaxPrecision = 100;
constexpr size_t MaxArgument = 99;  // the formatter's inserts run from %1 to %99

// One printf conversion, as written between the exclamation marks.
struct Conversion {
    std::string flags;
    std::optional<int> width, precision;
    char kind = 's';
};

// Reads a number of at most three digits; nothing for more, so that widths
// stay bounded before they are compared.
std::optional<int> readCount(std::string_view spec, size_t& i)
{
    int value = 0, digits = 0;
    while (i < spec.size() && spec[i] >= '0' && spec[i] <= '9') {
        if (++digits > 3)
            return std::nullopt;
        value = value * 10 + (spec[i++] - '0');
    }
    return value;
}

std::optional<Conversion> parseConversion(std::string_view spec)
{
    Conversion c;
    size_t i = 0;
    while (i < spec.size() && std::string_view("-+ #0").find(spec[i]) != std::string_view::npos) {
        if (c.flags.find(spec[i]) == std::string::npos)
            c.flags += spec[i];
        ++i;
    }
    if (i < spec.size() && spec[i] >= '1' && spec[i] <= '9') {
        c.width = readCount(spec, i);
        if (!c.width || *c.width > MaxWidth)
            return std::nullopt;
    }
    if (i < spec.size() && spec[i] == '.') {
        ++i;
        c.precision = readCount(spec, i);
        if (!c.precision || *c.precision > MaxPrecision)
            return std::nullopt;
    }
    // Length modifiers say how wide the caller's integer was; the value here
    // is already a double or a text, so they change nothing.
    for (std::string_view modifier : {"I64", "I32", "ll", "hh", "l", "h", "L", "I", "w"}) {
        if (spec.substr(i, modifier.size()) == modifier) {
            i += modifier.size();
            break;
        }
    }
    if (i + 1 != spec.size() || std::string_view("diuxXofFeEgGsc").find(spec[i]) == std::string_view::npos)
        return std::nullopt;
    c.kind = spec[i];
    return c;
}

// The C library leaves '#' undefined outside the float, octal and hex
// conversions, '0' outside the numeric ones and a precision on %c: such
// flags are dropped rather than handed on.
std::string printfSpec(const Conversion& c, std::string_view conversion)
{
    char kind = conversion.back();
    bool numeric = kind != 's' && kind != 'c';
    bool alternate = std::string_view("oxXfFeEgG").find(kind) != std::string_view::npos;
    std::string format = "%";
    for (char flag : c.flags)
        if ((flag != '#' || alternate) && (flag != '0' || numeric))
            format += flag;
    if (c.width)
        format += std::to_string(*c.width);
    if (c.precision && kind != 'c')
        format += "." + std::to_string(*c.precision);
    format += conversion;
    return format;
}

template <typename T>
std::string printOne(const std::string& format, T value)
{
    int size = std::snprintf(nullptr, 0, format.c_str(), value);
    if (size < 0)
        return std::string(Unprintable);
    std::string out(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format.c_str(), value);
    out.resize(static_cast<size_t>(size));
    return out;
}

std::string formatNumber(const Conversion& c, double value)
{
    switch (c.kind) {
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
        if (!std::isfinite(value)) {
            // Spelt out here rather than by the C library, whose spelling of
            // NaN differs between platforms; only the padding flags apply.
            Conversion text{.flags = c.flags.find('-') != std::string::npos ? "-" : "", .width = c.width};
            const char* word = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
            return printOne(printfSpec(text, "s"), word);
        }
        return printOne(printfSpec(c, std::string(1, c.kind)), value);
    case 'd': case 'i':
        // Inside ±2^63 the truncated value converts without overflow.
        if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
            return std::string(Unprintable);
        return printOne(printfSpec(c, "lld"), static_cast<long long>(std::trunc(value)));
    case 'u': case 'x': case 'X': case 'o':
        if (!std::isfinite(value) || value <= -1.0 || value >= 1.8e19)
            return std::string(Unprintable);
        return printOne(printfSpec(c, std::string("ll") + c.kind), static_cast<unsigned long long>(std::trunc(value)));
    case 'c':
        if (!(value >= 1.0 && value < 256.0))
            return std::string(Unprintable);
        return printOne(printfSpec(c, "c"), static_cast<int>(value));
    default:  // 's': a number is not a text
        return std::string(Unprintable);
    }
}

std::string formatText(const Conversion& c, const std::string& text)
{
    switch (c.kind) {
    case 's':
        return printOne(printfSpec(c, "s"), text.c_str());
    case 'c':
        if (text.empty())
            return std::string(Unprintable);
        return printOne(printfSpec(c, "c"), static_cast<int>(static_cast<unsigned char>(text[0])));
    default:  // a text is not a number
        return std::string(Unprintable);
    }
}

std::string formatArgument(const Conversion& c, const TooltipValue& value)
{
    if (const double* number = std::get_if<double>(&value))
        return formatNumber(c, *number);
    return formatText(c, std::get<std::string>(value));
}

}  // namespace

std::string formatTooltip(std::string_view text, std::span<const TooltipValue> args)
{
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        char ch = text[i++];
        if (ch != '%') {
            out += ch;
            continue;
        }
        if (i == text.size()) {  // a lone percent sign at the end stays
            out += '%';
            break;
        }
        char next = text[i];
        if (next == '0')  // %0 ends the message
            break;
        if (next < '1' || next > '9') {
            // The formatter's escapes; any other character stands for itself.
            ++i;
            switch (next) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += ' '; break;
            default: out += next; break;
            }
            continue;
        }
        size_t number = static_cast<size_t>(text[i++] - '0');
        if (i < text.size() && text[i] >= '0' && text[i] <= '9')
            number = number * 10 + static_cast<size_t>(text[i++] - '0');

        std::optional<Conversion> conversion = Conversion{};
        if (i < text.size() && text[i] == '!') {
            size_t close = text.find('!', i + 1);
            if (close == std::string_view::npos) {
                // An insert that never closes: mark it and show the rest as written.
                out += Unprintable;
                ++i;
                continue;
            }
            conversion = parseConversion(text.substr(i + 1, close - i - 1));
            i = close + 1;
        }
        if (!conversion || number > MaxArgument || number > args.size())
            out += Unprintable;
        else
            out += formatArgument(*conversion, args[number - 1]);
    }
    return out;
}

std::string_view hostHelpText(uint32_t helpId)
{
    struct HelpText {
        uint32_t id;
        std::string_view text;
    };
    static constexpr HelpText texts[] = {
        {12289, "Airspeed indicator"},
        {12290, "Indicated airspeed"},
        {12368, "Altimeter"},
        {12369, "Indicated altitude"},
        {12372, "Altimeter pressure setting"},
        {12432, "Turn indicator"},
        {12434, "Attitude indicator"},
        {12440, "Vertical speed indicator"},
        {12441, "Rate of climb or descent"},
        {12513, "Engine 1 exhaust gas temperature"},
        {12514, "Engine 2 exhaust gas temperature"},
        {12515, "Engine 3 exhaust gas temperature"},
        {12516, "Engine 4 exhaust gas temperature"},
        {12656, "ADF receiver frequency"},
        {12672, "Transponder code"},
        {12808, "Heading indicator course setting"},
        {43776, "ADF bearing indicator"},
        {43798, "Clock and stopwatch"},
        {43853, "NAV/GPS source switch"},
        {43873, "Inclinometer"},
        {43910, "Toggle radio stack window"},
        {43911, "Toggle GPS window"},
        {43912, "Toggle throttle window"},
        {43913, "Toggle compass window"},
        {43914, "Toggle fuel window"},
        {43915, "Toggle collective window"},
        {43919, "Toggle map"},
        {43923, "Toggle kneeboard"},
        {43924, "Toggle ATC window"},
    };
    for (const auto& t : texts)
        if (t.id == helpId)
            return t.text;
    return {};
}

std::string windows1252ToUtf8(std::string_view text)
{
    // 0x80-0x9F hold typographic signs in 1252; 0 marks the five unassigned bytes.
    static constexpr char16_t upper[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    constexpr char16_t replacement = 0xFFFD;
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char16_t code = byte;
        if (byte >= 0x80 && byte < 0xA0)
            code = upper[byte - 0x80] ? upper[byte - 0x80] : replacement;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | code >> 6);
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | code >> 12);
            out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace devhost
