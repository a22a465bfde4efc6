// The tooltip formatter: a format text and up to four arguments, numbers
// (any bit pattern) or texts, drawn from the input. The output stays bounded
// and converts to UTF-8.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "devhost/core/tooltip_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // First byte: how many arguments and of which kind; then eight bytes for
    // each number, a length byte and the text for each text; the rest is the
    // format.
    if (size < 1)
        return 0;
    const unsigned shape = data[0];
    size_t at = 1;
    std::vector<devhost::TooltipValue> args;
    for (unsigned k = 0; k < (shape & 3) + 1 && at < size; ++k) {
        if (shape & (0x10u << k)) {
            const size_t length = std::min<size_t>(data[at], size - at - 1);
            ++at;
            args.emplace_back(std::string(reinterpret_cast<const char*>(data + at), length));
            at += length;
        } else if (size - at >= sizeof(double)) {
            double value;
            std::memcpy(&value, data + at, sizeof value);
            args.emplace_back(value);
            at += sizeof value;
        }
    }
    const std::string_view text(reinterpret_cast<const char*>(data + at), size - at);
    const std::string shown = devhost::formatTooltip(text, args);
    size_t longest = 0;
    for (const devhost::TooltipValue& arg : args)
        if (const auto* s = std::get_if<std::string>(&arg))
            longest = std::max(longest, s->size());
    if (shown.size() > text.size() * (420 + longest) + 1)
        std::abort();
    (void)devhost::windows1252ToUtf8(shown);
    return 0;
}
