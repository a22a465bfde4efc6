// Text put into HTML (the installation guide, the gauge reference): the
// characters that markup or an attribute value would take as their own.
#pragma once

#include <string>
#include <string_view>

namespace devhost {

inline std::string htmlEscaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace devhost
