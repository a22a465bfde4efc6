#include "framework/find_parameter.h"

#include <cstring>

namespace {

constexpr const char* CommentMarkers = "/#'";

}  // namespace

const char* findParameter(const char* text, const char* key)
{
    if (!text || !key)
        return nullptr;
    const char* found = std::strstr(text, key);
    if (!found)
        return nullptr;
    // The first of the markers, if there is one, hides what starts there and after.
    const char* comment = text + std::strcspn(text, CommentMarkers);
    return *comment == '\0' || found < comment ? found : nullptr;
}
