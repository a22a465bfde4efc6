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

// Supports %n!spec! with spec one printf conversion (d i u x X f e g s c
// with flags, width, precision), plain %n (as %n!s!), and %% and %0 as the
// message formatter does. An argument number beyond args, or a spec that
// does not fit the value, prints "?" rather than reading what is not there.
// Integer conversions of a double truncate toward zero (NaN/inf print "?").
std::string formatTooltip(std::string_view text, std::span<const TooltipValue> args);

// The development host's own short text for a host help id ("" when unknown).
std::string_view hostHelpText(uint32_t helpId);

}  // namespace devhost
