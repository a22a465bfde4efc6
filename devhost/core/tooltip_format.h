// Tooltip text as the host builds it: the tooltip's text with inserts in the
// Windows message-formatter syntax, "%n!printf-spec!", filled from the
// argument callbacks' results; and the host's own short texts for help ids.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace devhost {

using TooltipValue = std::variant<double, std::string>;

// Supports %n!spec! with spec one printf conversion (d i u x X o f F e E g G
// s c with flags, width, precision; length modifiers are accepted and change
// nothing), plain %n (as %n!s!) for n from 1 to 99, and %% and %0 as the
// message formatter does, with its escapes %n (newline, the letter), %r, %t,
// %b (space) and % before any other character standing for that character.
// An argument number beyond args, or a spec that does not fit the value,
// prints "?" rather than reading what is not there: a text under a numeric
// conversion or a number under %s, '*' widths, %n-style writes, an insert
// that never closes. Widths and precisions above 100 are refused the same
// way, so one insert never grows past a few hundred characters. Integer
// conversions of a double truncate toward zero (NaN/inf, values beyond the
// 64-bit range and negative values under u x X o print "?"); float
// conversions print NaN and infinities as "nan", "inf", "-inf".
std::string formatTooltip(std::string_view text, std::span<const TooltipValue> args);

// The development host's own short text for a host help id ("" when unknown).
std::string_view hostHelpText(uint32_t helpId);

// Tooltip texts are in the host's Windows code page (1252: the flaps
// tooltip's degree sign is the byte 0xB0); the development host prints
// UTF-8. Bytes 0x80-0x9F that the code page leaves unassigned become U+FFFD.
std::string windows1252ToUtf8(std::string_view text);

}  // namespace devhost
