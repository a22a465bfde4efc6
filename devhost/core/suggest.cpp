#include "devhost/core/suggest.h"

#include <algorithm>
#include <cctype>

namespace devhost {

namespace {

constexpr size_t MaxSuggestions = 3;

char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Edits (insert, delete, replace, swap of neighbours) from a to b, ignoring case.
size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t replace = previous[j - 1] + (folded(a[i - 1]) == folded(b[j - 1]) ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, replace});
            if (i > 1 && j > 1 && folded(a[i - 1]) == folded(b[j - 2]) && folded(a[i - 2]) == folded(b[j - 1]))
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

}  // namespace

bool sameName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return folded(x) == folded(y); });
}

std::vector<std::string_view> closestNames(std::string_view typed, std::span<const std::string_view> names)
{
    // A third of the name may be wrong, and always a slip or two.
    const size_t allowed = std::max<size_t>(2, typed.size() / 3);
    std::vector<std::pair<size_t, std::string_view>> near;
    for (std::string_view name : names)
        if (size_t distance = editDistance(typed, name); distance <= allowed)
            near.emplace_back(distance, name);
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string_view> closest;
    for (size_t i = 0; i < near.size() && i < MaxSuggestions; ++i)
        closest.push_back(near[i].second);
    return closest;
}

std::string didYouMean(std::string_view typed, std::span<const std::string_view> names)
{
    const std::vector<std::string_view> closest = closestNames(typed, names);
    if (closest.empty())
        return {};
    std::string text = " (did you mean ";
    for (size_t i = 0; i < closest.size(); ++i) {
        if (i > 0)
            text += i + 1 == closest.size() ? " or " : ", ";
        text += closest[i];
    }
    return text + "?)";
}

}  // namespace devhost
