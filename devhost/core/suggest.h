// "Did you mean ...?" for a mistyped name: the known names closest to it.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace devhost {

// Whether two names are the same letters, whatever their case.
bool sameName(std::string_view a, std::string_view b);

// The names within a few typing slips of `typed` (case is not a slip),
// closest first, at most three.
std::vector<std::string_view> closestNames(std::string_view typed, std::span<const std::string_view> names);

// " (did you mean com1_freq?)", " (did you mean a or b?)", or "" when no
// name is close: for appending to an "unknown name" message.
std::string didYouMean(std::string_view typed, std::span<const std::string_view> names);

}  // namespace devhost
