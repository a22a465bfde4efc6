#include "framework/whole_number.h"

#include <limits>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t leadingWholeNumber(const char* text)
{
    if (!text)
        return 0;
    while (isBlank(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    // Magnitudes are gathered in 64 bits and stop growing once past the
    // 32-bit range; the remaining digits are still consumed as part of the number.
    constexpr int64_t Beyond = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; isDigit(*text); ++text)
        if (magnitude <= Beyond)
            magnitude = magnitude * 10 + (*text - '0');
    if (negative)
        return magnitude >= Beyond ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(-magnitude);
    return magnitude >= Beyond ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}
